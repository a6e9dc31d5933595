#pragma once

// The language file: every text the user reads is named by a text id and looked up here. An id
// the file lacks shows the id itself, so a missing translation is visible but never blank.

#include <QHash>
#include <QString>
#include <string_view>

#include "platform/TextLookup.h"

class QWidget;
class QObject;

namespace veltrix::gui {

class Language {
  public:
    // The program's language, loaded once at start-up.
    static Language& Instance();

    // Reads a file of <text id="...">...</text> elements. Returns false, keeping what was loaded
    // before, when the file cannot be read or is not well-formed.
    bool Load(const QString& path);
    bool LoadFromData(const QByteArray& xml);

    QString Text(std::string_view id) const;
    QString Text(const QString& id) const;
    bool Has(const QString& id) const { return m_texts.contains(id); }
    int Count() const { return static_cast<int>(m_texts.size()); }

    // The same look-up for the core, which works with UTF-16 texts.
    TextLookup Lookup() const;

    // A layout names its captions by text id: replaces every caption, tooltip, window title,
    // combo item and action text under `root` that is a known id by its text. Accessible names
    // stay as the layout gives them, in plain English, for screen readers and tests.
    void TranslateTree(QObject* root) const;

  private:
    QHash<QString, QString> m_texts;
};

// Shorthand for Language::Instance().Text(id).
QString Tr(std::string_view id);

}  // namespace veltrix::gui
