// The shipped language file must read cleanly and name a text for every id the program can ask
// for: a missing id shows up on screen as the id itself, a duplicate hides one of two texts.

#include <QFile>
#include <QSet>
#include <QXmlStreamReader>
#include <QtTest>

#include "Language.h"
#include "device/DeviceLink.h"
#include "macro/MacroFiles.h"
#include "vocabulary/ButtonFunctions.h"
#include "vocabulary/KeyCodes.h"

using namespace veltrix;
using veltrix::gui::Language;

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

    void ReadsCleanlyWithUniqueIdsAndNoEmptyText() {
        QXmlStreamReader reader(m_xml);
        QSet<QString> ids;
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"text") {
                const QString id = reader.attributes().value(QLatin1String("id")).toString();
                const QString text = reader.readElementText();
                QVERIFY2(!id.isEmpty() && !ids.contains(id), qPrintable("id: " + id));
                QVERIFY2(!text.trimmed().isEmpty() && text == text.trimmed(), qPrintable(id));
                ids.insert(id);
            }
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(m_language.Count(), ids.size());
        QCOMPARE(m_language.Text(std::string_view("mouse_name_text")), QString("Veltrix Wireless"));
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

    void AFileThatIsNotWellFormedKeepsWhatWasLoaded() {
        Language language;
        QVERIFY(language.LoadFromData(R"(<language><text id="a">A &amp; B</text></language>)"));
        QCOMPARE(language.Text(std::string_view("a")), QString("A & B"));
        QVERIFY(!language.LoadFromData(R"(<language><text id="a">A & B</text></language>)"));
        QVERIFY(!language.LoadFromData(R"(<language><text id="b">B</text>)"));
        QCOMPARE(language.Text(std::string_view("a")), QString("A & B"));
        QCOMPARE(language.Text(std::string_view("b")), QString("b"));
    }
};

QTEST_GUILESS_MAIN(LanguageFileTest)
#include "LanguageFileTest.moc"
