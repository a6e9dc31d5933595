#include "hiddriver/HidapiTransport.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <hidapi.h>
#include <libudev.h>
#include <poll.h>

#include "hiddriver/StopSignal.h"
#include "hiddriver/UniqueFd.h"

namespace veltrix::hiddriver {
namespace {

class HidapiDevice final : public FeatureDevice {
  public:
    explicit HidapiDevice(hid_device* device) : m_device(device) {}
    ~HidapiDevice() override { hid_close(m_device); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    bool Send(std::span<const std::uint8_t> report) override {
        // Byte 0, the report's command, is also its HID report id, as hidapi wants it.
        return !m_interrupted && !report.empty() &&
               hid_send_feature_report(m_device, report.data(), report.size()) ==
                   static_cast<int>(report.size());
    }
    // A feature request is one ioctl that the kernel ends when the device goes; only later
    // sends need stopping.
    void Interrupt() override { m_interrupted = true; }

  private:
    hid_device* const m_device;
    std::atomic<bool> m_interrupted{false};
};

std::vector<std::uint8_t> ReadSmallFile(const std::string& path) {
    std::vector<std::uint8_t> bytes(4096);
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const ssize_t size = fd.IsValid() ? ::read(fd.Get(), bytes.data(), bytes.size()) : -1;
    bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return bytes;
}

// The HID device above a hidraw node, when it is the watched device.
udev_device* MatchingHidParent(udev_device* hidraw, DeviceId device) {
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    const char* hidId = hid != nullptr ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    const std::optional<DeviceId> id = hidId != nullptr ? ParseHidId(hidId) : std::nullopt;
    return id && id->vid == device.vid && id->pid == device.pid ? hid : nullptr;
}

class HidapiWatch final : public DeviceWatch {
  public:
    explicit HidapiWatch(DeviceId device) : m_device(device), m_udev(udev_new()) {
        if (m_udev == nullptr) {
            return;
        }
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
        if (m_monitor != nullptr &&
            (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
             udev_monitor_enable_receiving(m_monitor) < 0)) {
            m_monitor = udev_monitor_unref(m_monitor);
        }
        // Nodes present now are known, not news: only later changes are reported.
        std::vector<WatchEvent> ignored;
        udev_enumerate* enumerate = udev_enumerate_new(m_udev);
        if (enumerate != nullptr && udev_enumerate_add_match_subsystem(enumerate, "hidraw") >= 0 &&
            udev_enumerate_scan_devices(enumerate) >= 0) {
            udev_list_entry* entry;
            udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
                udev_device* node =
                    udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
                if (node != nullptr) {
                    Add(node, ignored);
                    udev_device_unref(node);
                }
            }
        }
        udev_enumerate_unref(enumerate);
    }

    ~HidapiWatch() override {
        udev_monitor_unref(m_monitor);
        udev_unref(m_udev);
    }
    HidapiWatch(const HidapiWatch&) = delete;
    HidapiWatch& operator=(const HidapiWatch&) = delete;

    bool Wait(std::vector<WatchEvent>& events) override {
        while (!m_stop.IsRaised() && events.empty()) {
            std::vector<pollfd> entries{{m_stop.Fd(), POLLIN, 0}};
            entries.push_back(
                {m_monitor != nullptr ? udev_monitor_get_fd(m_monitor) : -1, POLLIN, 0});
            std::vector<std::string> readers;
            for (const auto& [syspath, node] : m_nodes) {
                if (node.input.IsValid()) {
                    entries.push_back({node.input.Get(), POLLIN, 0});
                    readers.push_back(syspath);
                }
            }
            if (::poll(entries.data(), entries.size(), m_stop.PollTimeout(-1)) < 0) {
                if (errno != EINTR) {
                    // Out of memory or the like: wait a little rather than spin.
                    pollfd stop{m_stop.Fd(), POLLIN, 0};
                    ::poll(&stop, 1, kErrorPauseMs);
                }
                continue;
            }
            if (entries[1].revents != 0) {
                ReceiveUdevEvent(events);
            }
            for (std::size_t i = 0; i < readers.size(); ++i) {
                if (entries[i + 2].revents != 0) {
                    ReadInput(readers[i], events);
                }
            }
        }
        return !m_stop.IsRaised();
    }

    void Stop() override { m_stop.Raise(); }

  private:
    static constexpr int kErrorPauseMs = 100;
    static constexpr std::size_t kMaxInputReportSize = 64;  // a full-speed USB packet

    struct Node {
        UniqueFd input;  // open only on the vendor interface
    };

    void ReceiveUdevEvent(std::vector<WatchEvent>& events) {
        udev_device* node = udev_monitor_receive_device(m_monitor);
        if (node == nullptr) {
            return;
        }
        const std::string action = udev_device_get_action(node) ? udev_device_get_action(node) : "";
        if (action == "add") {
            Add(node, events);
        } else if (action == "remove") {
            Remove(udev_device_get_syspath(node), events);
        }
        udev_device_unref(node);
    }

    void Add(udev_device* hidraw, std::vector<WatchEvent>& events) {
        udev_device* hid = MatchingHidParent(hidraw, m_device);
        const char* syspath = udev_device_get_syspath(hidraw);
        if (hid == nullptr || syspath == nullptr || m_nodes.contains(syspath)) {
            return;
        }
        Node node;
        const std::optional<std::uint16_t> usagePage = FirstUsagePage(
            ReadSmallFile(std::string(udev_device_get_syspath(hid)) + "/report_descriptor"));
        const char* devnode = udev_device_get_devnode(hidraw);
        if (usagePage && *usagePage >= kVendorUsagePage && devnode != nullptr) {
            node.input.Reset(::open(devnode, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        }
        if (m_nodes.empty()) {
            events.push_back({WatchEvent::Kind::Arrived, {}});
        }
        m_nodes.emplace(syspath, std::move(node));
    }

    void Remove(const char* syspath, std::vector<WatchEvent>& events) {
        if (syspath != nullptr && m_nodes.erase(syspath) == 1 && m_nodes.empty()) {
            events.push_back({WatchEvent::Kind::Removed, {}});
        }
    }

    void ReadInput(const std::string& syspath, std::vector<WatchEvent>& events) {
        const auto found = m_nodes.find(syspath);
        if (found == m_nodes.end()) {
            return;  // removed by the udev event handled just before
        }
        Node& node = found->second;
        std::vector<std::uint8_t> report(kMaxInputReportSize);
        const ssize_t size = ::read(node.input.Get(), report.data(), report.size());
        if (size > 0) {
            report.resize(static_cast<std::size_t>(size));
            events.push_back({WatchEvent::Kind::Input, std::move(report)});
        } else if (size == 0 || (errno != EAGAIN && errno != EINTR)) {
            // Yanked: the node reads nothing more; udev's removal follows.
            node.input.Reset();
        }
    }

    const DeviceId m_device;
    udev* m_udev;
    udev_monitor* m_monitor = nullptr;
    StopSignal m_stop;
    std::map<std::string, Node> m_nodes;  // the device's hidraw nodes by sysfs path
};

}  // namespace

std::shared_ptr<FeatureDevice> HidapiTransport::Open(DeviceId device) {
    hid_device_info* interfaces = hid_enumerate(static_cast<unsigned short>(device.vid),
                                                static_cast<unsigned short>(device.pid));
    const hid_device_info* chosen = PickInterface(interfaces);
    hid_device* opened = chosen != nullptr ? hid_open_path(chosen->path) : nullptr;
    hid_free_enumeration(interfaces);
    // hidapi keeps the text of a failed enumerate or open in one process-wide string that nothing
    // here reads. It is freed while still on the UI thread that makes those calls: left, it leaks
    // when the last plugin unloads hidapi. With hidraw, hid_exit frees only that string; the
    // other plugin copy's open device is untouched, and the next call initialises again.
    hid_exit();
    return opened != nullptr ? std::make_shared<HidapiDevice>(opened) : nullptr;
}

std::unique_ptr<DeviceWatch> HidapiTransport::Watch(DeviceId device) {
    return std::make_unique<HidapiWatch>(device);
}

std::optional<DeviceId> ParseHidId(std::string_view hidId) {
    // bus:vendor:product, each in hexadecimal
    std::uint32_t parts[3] = {};
    for (std::uint32_t& part : parts) {
        const auto [end, error] =
            std::from_chars(hidId.data(), hidId.data() + hidId.size(), part, 16);
        if (error != std::errc() || end == hidId.data()) {
            return std::nullopt;
        }
        hidId.remove_prefix(static_cast<std::size_t>(end - hidId.data()));
        if (&part != &parts[2]) {
            if (hidId.empty() || hidId.front() != ':') {
                return std::nullopt;
            }
            hidId.remove_prefix(1);
        }
    }
    if (!hidId.empty() || parts[1] > 0xFFFF || parts[2] > 0xFFFF) {
        return std::nullopt;
    }
    return DeviceId{static_cast<std::int32_t>(parts[1]), static_cast<std::int32_t>(parts[2])};
}

std::optional<std::uint16_t> FirstUsagePage(std::span<const std::uint8_t> descriptor) {
    constexpr std::uint8_t kLongItem = 0xFE;
    constexpr std::uint8_t kUsagePageTagAndType = 0x04;  // global item, tag 0
    std::size_t at = 0;
    while (at < descriptor.size()) {
        const std::uint8_t prefix = descriptor[at];
        if (prefix == kLongItem) {
            if (at + 1 >= descriptor.size()) {
                return std::nullopt;
            }
            at += 3u + descriptor[at + 1];
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : prefix & 3;
        if (at + size >= descriptor.size()) {
            return std::nullopt;
        }
        if ((prefix & 0xFC) == kUsagePageTagAndType && size > 0) {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < size; ++i) {
                value |= static_cast<std::uint32_t>(descriptor[at + 1 + i]) << (8 * i);
            }
            return static_cast<std::uint16_t>(value);
        }
        at += 1 + size;
    }
    return std::nullopt;
}

const hid_device_info* PickInterface(const hid_device_info* interfaces) {
    for (const hid_device_info* info = interfaces; info != nullptr; info = info->next) {
        if (info->usage_page >= kVendorUsagePage) {
            return info;
        }
    }
    return interfaces;
}

}  // namespace veltrix::hiddriver
