#include "framework/dshow/SeekingPassThrough.h"

using Microsoft::WRL::ComPtr;

namespace dshow {

ComPtr<IMediaSeeking> CSeekingPassThrough::Upstream() {
  ComPtr<IMediaSeeking> seeking;
  const ComPtr<IPin> upstream = m_input.Peer();
  if (upstream != nullptr) upstream.As(&seeking);
  return seeking;
}

// Each call: the upstream pin answers, or E_NOTIMPL when nothing upstream can seek.
#define PASS_THROUGH(call)                           \
  const ComPtr<IMediaSeeking> upstream = Upstream(); \
  return upstream != nullptr ? upstream->call : E_NOTIMPL

STDMETHODIMP CSeekingPassThrough::GetCapabilities(DWORD* capabilities) {
  PASS_THROUGH(GetCapabilities(capabilities));
}

STDMETHODIMP CSeekingPassThrough::CheckCapabilities(DWORD* capabilities) {
  PASS_THROUGH(CheckCapabilities(capabilities));
}

STDMETHODIMP CSeekingPassThrough::IsFormatSupported(const GUID* format) {
  PASS_THROUGH(IsFormatSupported(format));
}

STDMETHODIMP CSeekingPassThrough::QueryPreferredFormat(GUID* format) {
  PASS_THROUGH(QueryPreferredFormat(format));
}

STDMETHODIMP CSeekingPassThrough::GetTimeFormat(GUID* format) {
  PASS_THROUGH(GetTimeFormat(format));
}

STDMETHODIMP CSeekingPassThrough::IsUsingTimeFormat(const GUID* format) {
  PASS_THROUGH(IsUsingTimeFormat(format));
}

STDMETHODIMP CSeekingPassThrough::SetTimeFormat(const GUID* format) {
  PASS_THROUGH(SetTimeFormat(format));
}

STDMETHODIMP CSeekingPassThrough::GetDuration(LONGLONG* duration) {
  PASS_THROUGH(GetDuration(duration));
}

STDMETHODIMP CSeekingPassThrough::GetStopPosition(LONGLONG* stop) {
  PASS_THROUGH(GetStopPosition(stop));
}

STDMETHODIMP CSeekingPassThrough::GetCurrentPosition(LONGLONG* current) {
  PASS_THROUGH(GetCurrentPosition(current));
}

STDMETHODIMP CSeekingPassThrough::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat,
                                                    LONGLONG source, const GUID* sourceFormat) {
  PASS_THROUGH(ConvertTimeFormat(target, targetFormat, source, sourceFormat));
}

STDMETHODIMP CSeekingPassThrough::SetPositions(LONGLONG* current, DWORD currentFlags,
                                               LONGLONG* stop, DWORD stopFlags) {
  PASS_THROUGH(SetPositions(current, currentFlags, stop, stopFlags));
}

STDMETHODIMP CSeekingPassThrough::GetPositions(LONGLONG* current, LONGLONG* stop) {
  PASS_THROUGH(GetPositions(current, stop));
}

STDMETHODIMP CSeekingPassThrough::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
  PASS_THROUGH(GetAvailable(earliest, latest));
}

STDMETHODIMP CSeekingPassThrough::SetRate(double rate) {
  PASS_THROUGH(SetRate(rate));
}

STDMETHODIMP CSeekingPassThrough::GetRate(double* rate) {
  PASS_THROUGH(GetRate(rate));
}

STDMETHODIMP CSeekingPassThrough::GetPreroll(LONGLONG* preroll) {
  PASS_THROUGH(GetPreroll(preroll));
}

#undef PASS_THROUGH

}  // namespace dshow
