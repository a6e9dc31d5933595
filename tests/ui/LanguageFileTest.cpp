// The shipped language files must read cleanly and name a text for every id the program can ask
// for: a missing id shows up on screen as the id itself, a duplicate hides one of two texts, a
// lost placeholder drops the value it stands for.

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "Language.h"
#include "device/DeviceLink.h"
#include "macro/MacroFiles.h"
#include "vocabulary/ButtonFunctions.h"
#include "vocabulary/KeyCodes.h"

using namespace veltrix;
using veltrix::gui::Language;

namespace {

struct LanguageFile {
    QString code;
    QHash<QString, QString> texts;
};

// The file as a translator wrote it, or a failure naming what is wrong with it.
LanguageFile ReadLanguageFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QTest::qFail(qPrintable("cannot read " + path), __FILE__, __LINE__);
        return {};
    }
    LanguageFile result;
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (reader.name() == u"language") {
            result.code = reader.attributes().value(QLatin1String("code")).toString();
        } else if (reader.name() == u"text") {
            const QString id = reader.attributes().value(QLatin1String("id")).toString();
            const QString text = reader.readElementText();
            if (id.isEmpty() || result.texts.contains(id)) {
                QTest::qFail(qPrintable("missing or repeated id: " + id), __FILE__, __LINE__);
            } else if (text.trimmed().isEmpty() || text != text.trimmed()) {
                QTest::qFail(qPrintable("empty or padded text: " + id), __FILE__, __LINE__);
            }
            result.texts.insert(id, text);
        }
    }
    if (reader.hasError()) {
        QTest::qFail(qPrintable(path + ": " + reader.errorString()), __FILE__, __LINE__);
    }
    return result;
}

QSet<QString> Placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    QSet<QString> found;
    for (const auto& match : placeholder.globalMatch(text)) {
        found.insert(match.captured());
    }
    return found;
}

}  // namespace

class LanguageFileTest : public QObject {
    Q_OBJECT

    QByteArray m_xml;
    Language m_language;

    void ExpectText(std::string_view id) {
        const QString name = QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size()));
        QVERIFY2(m_language.Has(name), qPrintable(name));
    }

  private Q_SLOTS:
    void initTestCase() {
        QFile file(QStringLiteral(VELTRIX_SKIN_DIR "/lan.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        m_xml = file.readAll();
        QVERIFY(m_language.LoadFromData(m_xml));
    }

    void EveryLanguageReadsCleanlyAndSaysEverythingEnglishSays() {
        const LanguageFile english = ReadLanguageFile(VELTRIX_SKIN_DIR "/lan.xml");
        const QStringList files = QDir(QStringLiteral(VELTRIX_SKIN_DIR))
                                      .entryList({QStringLiteral("lan*.xml")}, QDir::Files);
        QVERIFY(files.size() > 1);
        for (const QString& fileName : files) {
            const LanguageFile language = ReadLanguageFile(VELTRIX_SKIN_DIR "/" + fileName);
            if (QTest::currentTestFailed()) {
                return;
            }
            QCOMPARE(Language::FileName(language.code == u"en" ? QString() : language.code),
                     fileName);
            for (auto it = english.texts.cbegin(); it != english.texts.cend(); ++it) {
                const QString what = fileName + ": " + it.key();
                QVERIFY2(language.texts.contains(it.key()), qPrintable("missing in " + what));
                QVERIFY2(Placeholders(language.texts.value(it.key())) == Placeholders(it.value()),
                         qPrintable("placeholders of " + what));
            }
        }
    }

    void HasEveryTextTheVocabularyAndTheProgramName() {
        for (int code = 0; code < 256; ++code) {
            for (const std::string_view id : {KeyTextId(static_cast<std::uint8_t>(code)),
                                              FunctionTextId(static_cast<std::uint8_t>(code))}) {
                if (!id.empty()) {
                    ExpectText(id);
                }
            }
        }
        // The keys a layout can never produce read as on the keyboard, not as the id's spelling.
        QCOMPARE(m_language.Text(std::string_view("key_xiexian")), QString("\\"));
        QCOMPARE(m_language.Text(std::string_view("\xEF\xBF\xA5")), QString::fromUtf8("\xC2\xA5"));

        for (const std::string_view id :
             {kChargingTextId, std::string_view("profile_text"), std::string_view("no_device_text"),
              std::string_view("warning_title_text"), std::string_view("delete_macro_text"),
              std::string_view("save_macro_text"), std::string_view("mouse_macro_function_text"),
              std::string_view("start_recording_text"), std::string_view("stop_recording_text"),
              std::string_view("key_down_action"), std::string_view("key_up_action"),
              std::string_view("macro_filter_text"), std::string_view("export_macro_failed_text"),
              MacroImportWarningTextId(MacroImportStatus::WrongSize),
              MacroImportWarningTextId(MacroImportStatus::Unreadable)}) {
            ExpectText(id);
        }
        for (int mode = 1; mode <= 9; ++mode) {  // the tooltips of lighting modes 0 to 8
            ExpectText("wireless_lightmode" + std::to_string(mode));
        }
    }

    void TheDesktopsLanguagesChooseTheFile() {
        QTemporaryDir skin;
        for (const char* name :
             {"lan.xml", "lan_de.xml", "lan_fr.xml", "lan_pt_BR.xml", "lan_zh_CN.xml"}) {
            QFile file(skin.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const std::pair<QStringList, QString> cases[] = {
            {{"de-DE", "de"}, "de"},
            {{"de-AT"}, "de"},           // a territory without a file of its own
            {{"pt-BR", "pt"}, "pt_BR"},  // language and territory
            {{"zh-Hans-CN"}, "zh_CN"},   // language, script and territory
            {{"zh-Hant-TW"}, ""},        // a script without a file
            {{"sw-KE", "fr-FR"}, "fr"},  // the next language with a file
            {{"en-GB", "de"}, ""},       // English before a language with a file
            {{"C"}, ""},
            {{}, ""},
        };
        for (const auto& [languages, code] : cases) {
            QVERIFY2(Language::CodeFor(skin.path(), languages) == code,
                     qPrintable(languages.join(',')));
        }
    }

    // A translation that lacks a text, or that cannot be read, leaves the English text rather
    // than an id on screen; a file that is not well formed keeps what was loaded.
    void ATranslationFallsBackToEnglishTextByText() {
        QTemporaryDir skin;
        const auto write = [&skin](const char* name, const QByteArray& xml) {
            QFile file(skin.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(xml);
        };
        write("lan.xml",
              R"(<language><text id="a">Apply</text><text id="b">Close</text></language>)");
        write("lan_de.xml", R"(<language><text id="a">Übernehmen</text></language>)");
        write("lan_fr.xml", R"(<language><text id="a">Appliquer</text>)");
        Language language;
        QVERIFY(language.LoadLanguage(skin.path(), "de"));
        QCOMPARE(language.Text(std::string_view("a")), QString::fromUtf8("Übernehmen"));
        QCOMPARE(language.Text(std::string_view("b")), QString("Close"));
        QVERIFY(language.LoadLanguage(skin.path(), "fr"));
        QCOMPARE(language.Text(std::string_view("a")), QString("Apply"));

        // A file that is not well formed keeps what was loaded.
        QVERIFY(language.LoadFromData(R"(<language><text id="a">A &amp; B</text></language>)"));
        QCOMPARE(language.Text(std::string_view("a")), QString("A & B"));
        QVERIFY(!language.LoadFromData(R"(<language><text id="a">A & B</text></language>)"));
        QVERIFY(!language.LoadFromData(R"(<language><text id="b">B</text>)"));
        QCOMPARE(language.Text(std::string_view("a")), QString("A & B"));
        QCOMPARE(language.Text(std::string_view("b")), QString("b"));
    }
};

QTEST_MAIN(LanguageFileTest)
#include "LanguageFileTest.moc"
