// A DirectShow transform filter that turns 24-bit RGB video into 32-bit RGB.
//
// The windowless Video Mixing Renderer takes 32-bit RGB but, on some systems, not the
// 24-bit RGB that the sample grabber is fixed to, and not every system has a colour
// converter for the graph manager to insert. The player puts this filter into its graphs
// so that the graph manager can route the grabber's output through it to the renderer.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include "feed/RgbConversion.h"
#include "framework/Lock.h"
#include "framework/dshow/Filter.h"
#include "framework/dshow/Pins.h"
#include "framework/dshow/SeekingPassThrough.h"

namespace feed {

// {5B3C7E52-2F8A-4C47-9C1B-6E0D8A41B7C3}
inline constexpr CLSID CLSID_PlumoraColourConverter = {
    0x5b3c7e52, 0x2f8a, 0x4c47, {0x9c, 0x1b, 0x6e, 0x0d, 0x8a, 0x41, 0xb7, 0xc3}};

class CColourConverterFilter : public dshow::CBaseFilter {
 public:
  static Microsoft::WRL::ComPtr<IBaseFilter> Create();

  int PinCount() override { return 2; }
  dshow::CBasePin* PinAt(int index) override;

  STDMETHODIMP Stop() override;

 private:
  class CInput : public dshow::CInputPin {
   public:
    explicit CInput(CColourConverterFilter& filter);
    HRESULT CheckMediaType(const dshow::CMediaType& type) override;

   protected:
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;
    HRESULT OnBeginFlush() override;
    HRESULT OnEndFlush() override;
    HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

   private:
    CColourConverterFilter& m_converter;
  };

  class COutput : public dshow::COutputPin {
   public:
    explicit COutput(CColourConverterFilter& filter);
    HRESULT CheckMediaType(const dshow::CMediaType& type) override;
    HRESULT GetMediaType(int index, dshow::CMediaType& type) override;

   protected:
    HRESULT QueryPinInterface(REFIID iid, void** object) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator,
                             const ALLOCATOR_PROPERTIES& requested) override;

   private:
    friend class CColourConverterFilter;
    CColourConverterFilter& m_converter;
    dshow::CSeekingPassThrough m_seeking;
  };

  CColourConverterFilter();

  HRESULT Transform(IMediaSample* input);
  // The 32-bit type for the input's current format; false when the input has none.
  bool OutputTypeForInput(dshow::CMediaType& type);

  CInput m_input;
  COutput m_output;
  // Held while a sample is converted, so that stopping waits for it.
  framework::CCriticalSection m_receiveLock;
};

}  // namespace feed
