// Connection points that count how often they were subscribed and unsubscribed.
#pragma once

#include "com_object.h"

#include <ocidl.h>

#include <utility>
#include <vector>

namespace standin {

struct AdviseCounts {
  int advised = 0;    // successful Advise calls
  int unadvised = 0;  // successful Unadvise calls
};

class CountingConnectionPoint : public ComObject<IConnectionPoint> {
 public:
  CountingConnectionPoint(REFIID events, IConnectionPointContainer* owner)
      : events_(events), owner_(owner) {}

  AdviseCounts counts() const { return counts_; }
  // The owning container is going away; GetConnectionPointContainer fails from now on.
  void detach() { owner_ = nullptr; }

  STDMETHODIMP GetConnectionInterface(IID* events) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** owner) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 protected:
  void* find_interface(REFIID riid) override;
  AdviseCounts counts_;

 private:
  IID events_;
  IConnectionPointContainer* owner_;  // not owned: the container owns us
};

// How long every Unadvise of the stand-in's own connection points takes from now on, as a
// busy browser's would.
void set_unadvise_delay(DWORD ms);

// Keeps its subscribers itself, so that the stand-in can fire events at them.
class SinkList final : public CountingConnectionPoint {
 public:
  using CountingConnectionPoint::CountingConnectionPoint;

  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;

  // A copy, so that a subscriber may unsubscribe while an event is being fired.
  std::vector<ComPtr<IDispatch>> sinks() const;

 private:
  std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
};

// Hands every subscription on to the connection point of another object.
class ForwardingConnectionPoint final : public CountingConnectionPoint {
 public:
  ForwardingConnectionPoint(REFIID events, IConnectionPointContainer* owner,
                            ComPtr<IConnectionPoint> target)
      : CountingConnectionPoint(events, owner), target_(std::move(target)) {}

  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;

 private:
  ComPtr<IConnectionPoint> target_;
};

// The single connection point an object offers through IConnectionPointContainer.
HRESULT find_single_connection_point(IConnectionPoint* point, REFIID events, REFIID wanted,
                                     IConnectionPoint** out);

}  // namespace standin
