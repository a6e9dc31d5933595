#pragma once

// The language file: every text the user reads is named by a text id and looked up here. An id
// the file lacks shows the id itself, so a missing translation is visible but never blank.

#include <QHash>
#include <QString>
#include <QStringList>
#include <string_view>

#include "platform/TextLookup.h"

class QWidget;
class QObject;

namespace veltrix::gui {

// The core's UTF-8 and UTF-16 texts as Qt's.
QString QtText(std::string_view text);
QString QtText(std::u16string_view text);

class Language {
  public:
    // The program's language, loaded once at start-up.
    static Language& Instance();

    // The code of the skin folder's language file for the user's languages, most wanted first
    // (as QLocale::uiLanguages gives them): "pt_BR" for "lan_pt_BR.xml", else "pt" for
    // "lan_pt.xml", for each language in turn. Empty for English ("lan.xml"): when it comes first
    // or when no language of the user's has a file.
    static QString CodeFor(const QString& folder, const QStringList& uiLanguages);
    static QString FileName(const QString& code);

    // Loads English, then the file of `code` over it, so that a text a translation lacks reads
    // in English rather than as its id. False when English cannot be read; a translation that
    // cannot be read leaves English.
    bool LoadLanguage(const QString& folder, const QString& code);

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
    // combo item, action text and accessible name under `root` that is a known id by its text.
    // A numbered control's accessible name (such as "Colour %1") takes its number from the
    // control's property "accessibleNameArg". Text that is no id stays as it stands.
    void TranslateTree(QObject* root) const;

  private:
    static bool Read(const QByteArray& xml, QHash<QString, QString>& texts);

    QHash<QString, QString> m_texts;
};

// Shorthand for Language::Instance().Text(id).
QString Tr(std::string_view id);

}  // namespace veltrix::gui
