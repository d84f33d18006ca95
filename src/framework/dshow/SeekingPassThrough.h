// IMediaSeeking for the output pin of a filter that sits in the middle of a stream:
// every call goes to the upstream pin, so that renderers can seek through the filter.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include "framework/dshow/Pins.h"

namespace dshow {

class CSeekingPassThrough : public IMediaSeeking {
 public:
  // owner: the output pin, whose identity and lifetime this object shares;
  // input: the filter's input pin, connected to the pin that seeks.
  CSeekingPassThrough(IPin& owner, CBasePin& input) : m_owner(owner), m_input(input) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return m_owner.QueryInterface(iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return m_owner.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return m_owner.Release(); }

  STDMETHODIMP GetCapabilities(DWORD* capabilities) override;
  STDMETHODIMP CheckCapabilities(DWORD* capabilities) override;
  STDMETHODIMP IsFormatSupported(const GUID* format) override;
  STDMETHODIMP QueryPreferredFormat(GUID* format) override;
  STDMETHODIMP GetTimeFormat(GUID* format) override;
  STDMETHODIMP IsUsingTimeFormat(const GUID* format) override;
  STDMETHODIMP SetTimeFormat(const GUID* format) override;
  STDMETHODIMP GetDuration(LONGLONG* duration) override;
  STDMETHODIMP GetStopPosition(LONGLONG* stop) override;
  STDMETHODIMP GetCurrentPosition(LONGLONG* current) override;
  STDMETHODIMP ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                 const GUID* sourceFormat) override;
  STDMETHODIMP SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                            DWORD stopFlags) override;
  STDMETHODIMP GetPositions(LONGLONG* current, LONGLONG* stop) override;
  STDMETHODIMP GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
  STDMETHODIMP SetRate(double rate) override;
  STDMETHODIMP GetRate(double* rate) override;
  STDMETHODIMP GetPreroll(LONGLONG* preroll) override;

 private:
  Microsoft::WRL::ComPtr<IMediaSeeking> Upstream();

  IPin& m_owner;
  CBasePin& m_input;
};

}  // namespace dshow
