#pragma once

#include "device/DriverLink.h"
#include "device/FeatureTransport.h"

namespace veltrix {

// The report senders' way to the mouse: SetFeature of the receiver's or the cable's driver link.
class DriverLinkTransport final : public FeatureTransport {
  public:
    DriverLinkTransport(DriverLink& receiver, DriverLink& cable)
        : m_receiver(receiver), m_cable(cable) {}

    int SetFeature(DeviceLinkKind link, std::span<const std::uint8_t> report) override {
        return (link == DeviceLinkKind::Cable ? m_cable : m_receiver).SetFeature(report);
    }

  private:
    DriverLink& m_receiver;
    DriverLink& m_cable;
};

}  // namespace veltrix
