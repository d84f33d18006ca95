#include "framework/Controls.h"

namespace framework {

std::wstring CComboBox::GetLBText(int index) const {
  const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

bool CImageList::Create(int width, int height, UINT flags, int initial, int grow) {
  Reset();
  m_list = ImageList_Create(width, height, flags, initial, grow);
  return m_list != nullptr;
}

void CImageList::Reset() {
  if (m_list != nullptr) ImageList_Destroy(m_list);
  m_list = nullptr;
}

int CListCtrl::InsertColumn(int index, const std::wstring& title, int format, int width) const {
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
  column.fmt = format;
  column.cx = width;
  column.pszText = const_cast<wchar_t*>(title.c_str());
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const std::wstring& text, int image) const {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  item.iImage = image;
  return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

std::wstring CListCtrl::GetItemText(int index, int column) const {
  // The control copies at most the buffer; grow until the text fits.
  for (size_t size = 260;; size *= 2) {
    std::wstring text(size, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(size);
    const auto copied = static_cast<size_t>(
        SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (copied + 1 < size || size >= 65536) {
      text.resize(copied < size ? copied : size - 1);
      return text;
    }
  }
}

int CListCtrl::GetItemImage(int index) const {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  if (!SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iImage;
}

bool CListCtrl::SetItemImage(int index, int image) const {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = index;
  item.iImage = image;
  return SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool CListCtrl::SetItemState(int index, UINT state, UINT mask) const {
  LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item)) != 0;
}

}  // namespace framework
