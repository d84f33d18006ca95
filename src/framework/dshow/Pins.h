// Pins for our filters. A pin is a COM object of its own identity whose lifetime is its
// filter's: AddRef and Release go to the filter.
//
// CBasePin holds the connection (peer pin and media type) and what both directions share.
// CInputPin adds IMemInputPin; the filter handles each sample in OnReceive. COutputPin
// negotiates the media type and the allocator when it connects, and delivers samples.
#pragma once

#include <windows.h>

#include <dshow.h>
#include <wrl/client.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/dshow/Filter.h"
#include "framework/dshow/MediaType.h"

namespace dshow {

class CBasePin : public IPin {
 public:
  CBasePin(CBaseFilter& filter, std::wstring name, PIN_DIRECTION direction);
  CBasePin(const CBasePin&) = delete;
  CBasePin& operator=(const CBasePin&) = delete;
  virtual ~CBasePin() = default;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return m_filter.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return m_filter.Release(); }

  // IPin: the parts that do not depend on the direction
  STDMETHODIMP Disconnect() override;
  STDMETHODIMP ConnectedTo(IPin** pin) override;
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
  STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
  STDMETHODIMP QueryId(LPWSTR* id) override;
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
  STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;

  // Whether the pin can take this type now (S_OK) or not (a failure code).
  virtual HRESULT CheckMediaType(const CMediaType& type) = 0;
  // The pin's own preferred types, by index; VFW_S_NO_MORE_ITEMS past the last.
  virtual HRESULT GetMediaType(int index, CMediaType& type);
  // Called as the filter leaves and enters the stopped state.
  virtual HRESULT Active() { return S_OK; }
  virtual HRESULT Inactive() { return S_OK; }

  const std::wstring& Name() const { return m_name; }
  bool IsConnected();
  Microsoft::WRL::ComPtr<IPin> Peer();
  CMediaType ConnectionType();
  // Changes the type of the current connection (a format change announced by a sample).
  void SetConnectionType(const CMediaType& type);

 protected:
  // More interfaces of a derived pin; E_NOINTERFACE when none applies.
  virtual HRESULT QueryPinInterface(REFIID iid, void** object);
  // After the connection's peer and type are stored, before it is reported made.
  virtual HRESULT CompleteConnect(IPin* /*peer*/) { return S_OK; }
  // After a connection ends, or a connection attempt fails.
  virtual void BreakConnect() {}

  CBaseFilter& m_filter;
  Microsoft::WRL::ComPtr<IPin> m_peer;  // guarded by the filter's state lock
  CMediaType m_type;

 private:
  const std::wstring m_name;
  const PIN_DIRECTION m_direction;
};

class CInputPin : public CBasePin, public IMemInputPin {
 public:
  CInputPin(CBaseFilter& filter, std::wstring name);

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return CBasePin::QueryInterface(iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return CBasePin::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return CBasePin::Release(); }

  // IPin
  STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP Disconnect() override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override;
  STDMETHODIMP EndFlush() override;
  STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

  // IMemInputPin
  STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
  STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
  STDMETHODIMP Receive(IMediaSample* sample) override;
  STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
  STDMETHODIMP ReceiveCanBlock() override;

  bool IsFlushing() const { return m_flushing; }

 protected:
  HRESULT QueryPinInterface(REFIID iid, void** object) override;
  // One sample while the filter runs or pauses and the pin is not flushing.
  virtual HRESULT OnReceive(IMediaSample* sample) = 0;
  // Stream notifications, after the pin's own bookkeeping; pass them downstream here.
  virtual HRESULT OnEndOfStream() { return S_OK; }
  virtual HRESULT OnBeginFlush() { return S_OK; }
  virtual HRESULT OnEndFlush() { return S_OK; }
  virtual HRESULT OnNewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

 private:
  Microsoft::WRL::ComPtr<IMemAllocator> m_allocator;
  std::atomic<bool> m_flushing{false};
};

class COutputPin : public CBasePin {
 public:
  COutputPin(CBaseFilter& filter, std::wstring name);

  // IPin
  STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP Disconnect() override;
  STDMETHODIMP EndOfStream() override { return E_UNEXPECTED; }
  STDMETHODIMP BeginFlush() override { return E_UNEXPECTED; }
  STDMETHODIMP EndFlush() override { return E_UNEXPECTED; }
  STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

  HRESULT Active() override;
  HRESULT Inactive() override;

  // A sample to fill from the negotiated allocator; may block until one is free.
  HRESULT GetDeliveryBuffer(IMediaSample** sample);
  HRESULT Deliver(IMediaSample* sample);
  HRESULT DeliverEndOfStream();
  HRESULT DeliverBeginFlush();
  HRESULT DeliverEndFlush();
  HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

 protected:
  // Sets the allocator's buffer count and size for the connection's type.
  virtual HRESULT DecideBufferSize(IMemAllocator* allocator,
                                   const ALLOCATOR_PROPERTIES& requested) = 0;
  HRESULT CompleteConnect(IPin* peer) override;
  void BreakConnect() override;

 private:
  HRESULT AttemptConnection(IPin* receivePin, const CMediaType& type);
  HRESULT DecideAllocator();

  Microsoft::WRL::ComPtr<IMemInputPin> m_peerInput;
  Microsoft::WRL::ComPtr<IMemAllocator> m_allocator;
};

}  // namespace dshow
