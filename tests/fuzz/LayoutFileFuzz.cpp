// A layout file from anywhere: a skin that a designer edited or a user dropped in. It is built
// into widgets, the whole tree, and thrown away. Images are not read: the fuzzer would only find
// the image decoders' faults, not ours.

#include <QApplication>
#include <QBuffer>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "LayoutReader.h"

namespace {

class NoImages final : public veltrix::gui::LayoutReader {
  public:
    QPixmap Pixmap(const QString&) override { return {}; }
    QIcon Icon(QObject*, const QString&, const QString&) override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(*argc, *argv);
    // What the reader warns about at every run would drown libFuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    NoImages reader;
    const std::unique_ptr<QWidget> root(reader.Read(file, "fuzz.ui", nullptr));
    return 0;
}
