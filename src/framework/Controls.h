// Thin typed wrappers of the standard and common controls: each names the control's
// messages as operations and adds nothing else. Bound to a dialog's control by DDX_Control.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "framework/Wnd.h"

namespace framework {

class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
  // Presses the button as a mouse click would.
  void Click() const { SendMessage(BM_CLICK); }
};

class CStatic : public CWnd {};

class CEdit : public CWnd {
 public:
  void SetLimitText(int characters) const {
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(characters));
  }
  void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

class CComboBox : public CWnd {
 public:
  int AddString(const std::wstring& text) const {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }
  int InsertString(int index, const std::wstring& text) const {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.c_str())));
  }
  void ResetContent() const { SendMessage(CB_RESETCONTENT); }
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  // The selected position, or CB_ERR (-1) without a selection.
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  void SetCurSel(int index) const { SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)); }
  std::wstring GetLBText(int index) const;
};

class CSliderCtrl : public CWnd {
 public:
  void SetRange(int minimum, int maximum, bool redraw = false) const {
    SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
    SendMessage(TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
  }
  int GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
  int GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
  int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
  void SetPos(int position, bool redraw = true) const {
    SendMessage(TBM_SETPOS, redraw ? TRUE : FALSE, position);
  }
};

class CScrollBar : public CWnd {
 public:
  int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
  void SetScrollPos(int position, bool redraw = true) const {
    ::SetScrollPos(m_hWnd, SB_CTL, position, redraw ? TRUE : FALSE);
  }
  void SetScrollRange(int minimum, int maximum, bool redraw = true) const {
    ::SetScrollRange(m_hWnd, SB_CTL, minimum, maximum, redraw ? TRUE : FALSE);
  }
  void GetScrollRange(int& minimum, int& maximum) const {
    ::GetScrollRange(m_hWnd, SB_CTL, &minimum, &maximum);
  }
  // The fields that mask names (all of them by default).
  SCROLLINFO GetScrollInfo(UINT mask = SIF_ALL) const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = mask;
    ::GetScrollInfo(m_hWnd, SB_CTL, &info);
    return info;
  }
  void SetScrollInfo(const SCROLLINFO& info, bool redraw = true) const {
    ::SetScrollInfo(m_hWnd, SB_CTL, &info, redraw ? TRUE : FALSE);
  }
};

// An image list, destroyed with the object.
class CImageList {
 public:
  CImageList() = default;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  ~CImageList() { Reset(); }

  bool Create(int width, int height, UINT flags, int initial, int grow);
  // Adds bitmap (kept by the caller) with mask the pixels of colour mask; the image's
  // position, or -1.
  int Add(HBITMAP bitmap, COLORREF mask) const { return ImageList_AddMasked(m_list, bitmap, mask); }
  int GetImageCount() const { return ImageList_GetImageCount(m_list); }
  HIMAGELIST GetSafeHandle() const { return m_list; }
  void Reset();

 private:
  HIMAGELIST m_list = nullptr;
};

class CListCtrl : public CWnd {
 public:
  void SetExtendedStyle(DWORD style) const { SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
  DWORD GetExtendedStyle() const {
    return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
  }
  void SetImageList(const CImageList& list, int which) const {
    SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                reinterpret_cast<LPARAM>(list.GetSafeHandle()));
  }
  int InsertColumn(int index, const std::wstring& title, int format, int width) const;
  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  // Inserts a row; its position, or -1.
  int InsertItem(int index, const std::wstring& text, int image) const;
  bool DeleteItem(int index) const {
    return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0;
  }
  bool DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != 0; }
  std::wstring GetItemText(int index, int column) const;
  int GetItemImage(int index) const;
  bool SetItemImage(int index, int image) const;
  UINT GetItemState(int index, UINT mask) const {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
  }
  bool SetItemState(int index, UINT state, UINT mask) const;
  // The first selected row, or -1.
  int GetNextSelected() const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  int GetSelectedCount() const { return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT)); }
};

}  // namespace framework
