#include "SkinImages.h"

#include <QApplication>
#include <QFileInfo>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <utility>

namespace veltrix::gui {
namespace {

bool IsSvg(const QString& path) {
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

// `renderer`'s drawing at `size`, on a transparent ground.
QPixmap Draw(QSvgRenderer& renderer, const QSize& size) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    painter.end();
    return QPixmap::fromImage(std::move(picture));
}

class SkinIconEngine final : public QIconEngine {
  public:
    SkinIconEngine(QString off, QString on)
        : m_off(std::move(off)), m_on(std::move(on)), m_bNull(!QFileInfo::exists(m_off)) {}

    QIconEngine* clone() const override { return new SkinIconEngine(*this); }
    QString key() const override { return QStringLiteral("veltrix-skin"); }
    // Asked at every paint of its button: the file is looked for once.
    bool isNull() override { return m_bNull; }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return pixmap(size, mode, state).size();
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        QSize size = rect.size();
        if (painter->device() != nullptr) {
            size *= painter->device()->devicePixelRatio();
        }
        painter->drawPixmap(rect, pixmap(size, mode, state));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QString file = File(state);
        const QString key = QString("veltrix-skin-icon:%1:%2x%3:%4")
                                .arg(file)
                                .arg(size.width())
                                .arg(size.height())
                                .arg(static_cast<int>(mode));
        QPixmap pixmap;
        if (QPixmapCache::find(key, &pixmap)) {
            return pixmap;
        }
        QSvgRenderer renderer(file);
        const QSize drawn = renderer.defaultSize().scaled(size, Qt::KeepAspectRatio);
        if (!renderer.isValid() || drawn.isEmpty()) {
            return {};
        }
        pixmap = Draw(renderer, drawn);
        // A disabled or selected button's icon, in the style's way.
        QStyleOption option;
        option.palette = QGuiApplication::palette();
        const QPixmap generated = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
        if (!generated.isNull()) {
            pixmap = generated;
        }
        QPixmapCache::insert(key, pixmap);
        return pixmap;
    }

  private:
    const QString& File(QIcon::State state) const {
        return state == QIcon::On && !m_on.isEmpty() ? m_on : m_off;
    }

    QString m_off;
    QString m_on;
    bool m_bNull;
};

}  // namespace

QPixmap SkinPicture(const QString& path) {
    if (!IsSvg(path)) {
        return QPixmap(path);
    }
    const QString key = "veltrix-skin:" + path;
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    QSvgRenderer renderer(path);
    const QSize size = renderer.viewBox().size();
    if (!renderer.isValid() || size.isEmpty()) {
        return {};
    }
    pixmap = Draw(renderer, size);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon SkinIconFrom(const QString& off, const QString& on) {
    if (!IsSvg(off) || (!on.isEmpty() && !IsSvg(on))) {
        QIcon icon(off);
        if (!on.isEmpty()) {
            icon.addFile(on, {}, QIcon::Normal, QIcon::On);
        }
        return icon;
    }
    return QIcon(new SkinIconEngine(off, on));
}

}  // namespace veltrix::gui
