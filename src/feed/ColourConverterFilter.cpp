#include "feed/ColourConverterFilter.h"

#include <algorithm>

using Microsoft::WRL::ComPtr;

namespace feed {

namespace {

bool IsVideoRgb(const dshow::CMediaType& type, const GUID& subtype, WORD bitCount,
                RgbLayout& layout) {
  const AM_MEDIA_TYPE& mt = type.Get();
  const VIDEOINFOHEADER* info = type.VideoInfo();
  if (mt.majortype != MEDIATYPE_Video || mt.subtype != subtype || info == nullptr) return false;
  const BITMAPINFOHEADER& header = info->bmiHeader;
  return header.biBitCount == bitCount && header.biCompression == BI_RGB &&
         LayoutFromBitmapHeader(header.biWidth, header.biHeight, header.biBitCount, layout);
}

// A renderer may give us a surface wider than the picture (its pitch, as biWidth) and
// say where the picture goes in rcTarget; the picture keeps the input's size.
bool OutputLayout(const dshow::CMediaType& type, const RgbLayout& input, RgbLayout& layout) {
  if (!IsVideoRgb(type, MEDIASUBTYPE_RGB32, 32, layout)) return false;
  if (layout.width < input.width || layout.height != input.height) return false;
  layout.width = input.width;
  return true;
}

}  // namespace

ComPtr<IBaseFilter> CColourConverterFilter::Create() {
  ComPtr<IBaseFilter> filter;
  filter.Attach(new CColourConverterFilter());
  return filter;
}

CColourConverterFilter::CColourConverterFilter()
    : CBaseFilter(CLSID_PlumoraColourConverter), m_input(*this), m_output(*this) {}

dshow::CBasePin* CColourConverterFilter::PinAt(int index) {
  if (index == 0) return &m_input;
  if (index == 1) return &m_output;
  return nullptr;
}

STDMETHODIMP CColourConverterFilter::Stop() {
  // Decommitting the allocators (in the base) ends any wait for an output buffer;
  // then wait for a sample still being converted.
  const HRESULT result = CBaseFilter::Stop();
  framework::CAutoLock wait(m_receiveLock);
  return result;
}

bool CColourConverterFilter::OutputTypeForInput(dshow::CMediaType& type) {
  const dshow::CMediaType input = m_input.ConnectionType();
  RgbLayout layout;
  if (!IsVideoRgb(input, MEDIASUBTYPE_RGB24, 24, layout)) return false;

  type = input;
  AM_MEDIA_TYPE& mt = type.Get();
  mt.subtype = MEDIASUBTYPE_RGB32;
  auto* info = reinterpret_cast<VIDEOINFOHEADER*>(mt.pbFormat);
  info->bmiHeader.biBitCount = 32;
  info->bmiHeader.biSizeImage = static_cast<DWORD>(layout.width * 4u * layout.height);
  mt.bFixedSizeSamples = TRUE;
  mt.bTemporalCompression = FALSE;
  mt.lSampleSize = info->bmiHeader.biSizeImage;
  return true;
}

HRESULT CColourConverterFilter::Transform(IMediaSample* input) {
  framework::CAutoLock converting(m_receiveLock);
  if (State() == State_Stopped) return VFW_E_WRONG_STATE;

  // An upstream format change travels with the sample.
  AM_MEDIA_TYPE* changed = nullptr;
  if (input->GetMediaType(&changed) == S_OK && changed != nullptr) {
    const dshow::CMediaType type(*changed);
    dshow::DeleteMediaType(changed);
    if (FAILED(m_input.CheckMediaType(type))) return VFW_E_TYPE_NOT_ACCEPTED;
    m_input.SetConnectionType(type);
  }

  ComPtr<IMediaSample> output;
  HRESULT result = m_output.GetDeliveryBuffer(&output);
  if (FAILED(result)) return result;

  // So does a downstream one: the renderer may hand out a buffer of another layout.
  AM_MEDIA_TYPE* downstream = nullptr;
  if (output->GetMediaType(&downstream) == S_OK && downstream != nullptr) {
    const dshow::CMediaType type(*downstream);
    dshow::DeleteMediaType(downstream);
    if (FAILED(m_output.CheckMediaType(type))) return VFW_E_TYPE_NOT_ACCEPTED;
    m_output.SetConnectionType(type);
  }

  RgbLayout inLayout, outLayout;
  if (!IsVideoRgb(m_input.ConnectionType(), MEDIASUBTYPE_RGB24, 24, inLayout) ||
      !OutputLayout(m_output.ConnectionType(), inLayout, outLayout))
    return VFW_E_TYPE_NOT_ACCEPTED;

  BYTE* source = nullptr;
  BYTE* target = nullptr;
  if (FAILED(result = input->GetPointer(&source))) return result;
  if (FAILED(result = output->GetPointer(&target))) return result;
  const long sourceBytes = input->GetActualDataLength();
  const long targetBytes = output->GetSize();
  if (!ConvertRgb24ToRgb32(source, static_cast<size_t>(std::max(sourceBytes, 0L)), inLayout, target,
                           static_cast<size_t>(std::max(targetBytes, 0L)), outLayout))
    return S_OK;  // a short sample is dropped; the stream goes on

  output->SetActualDataLength(static_cast<long>(RequiredBytes(outLayout, 4)));
  REFERENCE_TIME start = 0, stop = 0;
  const HRESULT timed = input->GetTime(&start, &stop);
  if (timed == S_OK)
    output->SetTime(&start, &stop);
  else if (timed == VFW_S_NO_STOP_TIME)
    output->SetTime(&start, nullptr);
  LONGLONG mediaStart = 0, mediaStop = 0;
  if (input->GetMediaTime(&mediaStart, &mediaStop) == S_OK)
    output->SetMediaTime(&mediaStart, &mediaStop);
  output->SetSyncPoint(input->IsSyncPoint() == S_OK);
  output->SetDiscontinuity(input->IsDiscontinuity() == S_OK);
  output->SetPreroll(input->IsPreroll() == S_OK);
  return m_output.Deliver(output.Get());
}

// ---- input pin

CColourConverterFilter::CInput::CInput(CColourConverterFilter& filter)
    : CInputPin(filter, L"Input"), m_converter(filter) {}

HRESULT CColourConverterFilter::CInput::CheckMediaType(const dshow::CMediaType& type) {
  RgbLayout layout;
  if (!IsVideoRgb(type, MEDIASUBTYPE_RGB24, 24, layout)) return VFW_E_TYPE_NOT_ACCEPTED;
  // With the output connected, the picture size is settled.
  if (m_converter.m_output.IsConnected()) {
    RgbLayout out;
    if (!OutputLayout(m_converter.m_output.ConnectionType(), layout, out))
      return VFW_E_TYPE_NOT_ACCEPTED;
  }
  return S_OK;
}

HRESULT CColourConverterFilter::CInput::OnReceive(IMediaSample* sample) {
  return m_converter.Transform(sample);
}

HRESULT CColourConverterFilter::CInput::OnEndOfStream() {
  return m_converter.m_output.DeliverEndOfStream();
}

HRESULT CColourConverterFilter::CInput::OnBeginFlush() {
  return m_converter.m_output.DeliverBeginFlush();
}

HRESULT CColourConverterFilter::CInput::OnEndFlush() {
  return m_converter.m_output.DeliverEndFlush();
}

HRESULT CColourConverterFilter::CInput::OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                                     double rate) {
  return m_converter.m_output.DeliverNewSegment(start, stop, rate);
}

// ---- output pin

CColourConverterFilter::COutput::COutput(CColourConverterFilter& filter)
    : COutputPin(filter, L"Output"), m_converter(filter), m_seeking(*this, filter.m_input) {}

HRESULT CColourConverterFilter::COutput::QueryPinInterface(REFIID iid, void** object) {
  if (iid == IID_IMediaSeeking) {
    *object = static_cast<IMediaSeeking*>(&m_seeking);
    AddRef();
    return S_OK;
  }
  return COutputPin::QueryPinInterface(iid, object);
}

HRESULT CColourConverterFilter::COutput::CheckMediaType(const dshow::CMediaType& type) {
  RgbLayout in, out;
  if (!IsVideoRgb(m_converter.m_input.ConnectionType(), MEDIASUBTYPE_RGB24, 24, in))
    return VFW_E_NOT_CONNECTED;
  return OutputLayout(type, in, out) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CColourConverterFilter::COutput::GetMediaType(int index, dshow::CMediaType& type) {
  if (index != 0) return VFW_S_NO_MORE_ITEMS;
  return m_converter.OutputTypeForInput(type) ? S_OK : VFW_S_NO_MORE_ITEMS;
}

HRESULT CColourConverterFilter::COutput::DecideBufferSize(IMemAllocator* allocator,
                                                          const ALLOCATOR_PROPERTIES& requested) {
  const dshow::CMediaType type = ConnectionType();
  const VIDEOINFOHEADER* info = type.VideoInfo();
  if (info == nullptr) return VFW_E_TYPE_NOT_ACCEPTED;
  ALLOCATOR_PROPERTIES wanted = requested;
  wanted.cBuffers = std::max(wanted.cBuffers, 1L);
  wanted.cbBuffer = std::max(wanted.cbBuffer, static_cast<long>(info->bmiHeader.biSizeImage));
  wanted.cbAlign = std::max(wanted.cbAlign, 1L);
  ALLOCATOR_PROPERTIES actual{};
  const HRESULT result = allocator->SetProperties(&wanted, &actual);
  if (FAILED(result)) return result;
  return actual.cbBuffer >= static_cast<long>(info->bmiHeader.biSizeImage) ? S_OK : E_FAIL;
}

}  // namespace feed
