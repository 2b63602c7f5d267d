// SPDX-License-Identifier: MIT
// The English translation is complete and current: every message of i18n/tonvale_en.ts is finished,
// keeps the placeholders of its source, and lupdate finds no text in the code that the file lacks (or
// one the file has that the code no longer holds). The core's texts, fixed and composed, come out
// English through coreText, and stay exactly as they are in Russian.

#include "audio/RandomSchedule.h"
#include "document/Edits.h"
#include "document/Loader.h"
#include "document/NewElements.h"
#include "document/Writer.h"
#include "texts/CoreTexts.h"
#include "texts/Language.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace tonvale;

namespace {

struct Entry {
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "obsolete", "vanished", or empty
};

QList<Entry> readTs(const QString& path) {
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            entry = Entry{context, {}, {}, {}};
        else if (xml.name() == QLatin1String("source"))
            entry.source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("translation")) {
            entry.type = xml.attributes().value(QLatin1String("type")).toString();
            entry.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            entries << entry;
        }
    }
    return entries;
}

QSet<QString> keys(const QList<Entry>& entries) {
    QSet<QString> out;
    for (const Entry& e : entries)
        out.insert(e.context + QLatin1Char('|') + e.source);
    return out;
}

QStringList placeholders(const QString& text) {
    static const QRegularExpression Placeholder(QStringLiteral("%[1-9]"));
    QStringList found;
    for (auto it = Placeholder.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found;
}

bool hasCyrillic(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF)
            return true;
    }
    return false;
}

class FixedRandom final : public RandomSource {
  public:
    int below(int) override { return 0; }
};

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

    const QString m_ts = QStringLiteral(TONVALE_SOURCE_DIR "/i18n/tonvale_en.ts");

  private slots:
    void cleanup() { installLanguage(Language::Russian); }

    void everyMessageIsFinished() {
        const QList<Entry> entries = readTs(m_ts);
        QVERIFY2(entries.size() > 100, qPrintable(m_ts));
        for (const Entry& e : entries) {
            const QByteArray what = (e.context + QStringLiteral(": ") + e.source).toUtf8();
            QVERIFY2(e.type.isEmpty(), what.constData());
            QVERIFY2(!e.translation.isEmpty(), what.constData());
            QVERIFY2(!hasCyrillic(e.translation), what.constData());
            QCOMPARE(placeholders(e.translation), placeholders(e.source));
        }
    }

    void lupdateFindsNoOtherTexts() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(TONVALE_SOURCE_DIR));
        lupdate.start(QStringLiteral(TONVALE_LUPDATE),
                      {QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral("-source-language"), QStringLiteral("ru"),
                       QStringLiteral("-target-language"), QStringLiteral("en"), QStringLiteral("-I"),
                       QStringLiteral("src"), QStringLiteral("src/shell"), QStringLiteral("src/editor"),
                       QStringLiteral("src/dialogs"), QStringLiteral("src/audiopanel"),
                       QStringLiteral("src/settings"), QStringLiteral("src/texts"), QStringLiteral("app"),
                       QStringLiteral("-ts"), fresh});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);
        const QSet<QString> inCode = keys(readTs(fresh));
        const QSet<QString> inFile = keys(readTs(m_ts));
        QVERIFY(!inCode.isEmpty());
        const QStringList missing = QSet<QString>(inCode).subtract(inFile).values();
        const QStringList stale = QSet<QString>(inFile).subtract(inCode).values();
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not in the .ts (run the update_translations "
                                                              "target, then translate): ") +
                                               missing.join(QStringLiteral(" / "))));
        QVERIFY2(stale.isEmpty(),
                 qPrintable(QStringLiteral("no longer in the code: ") + stale.join(QStringLiteral(" / "))));
    }

    void coreTexts() {
        std::vector<std::string> texts{std::string(loadtext::BraceMessage),
                                       std::string(loadtext::BraceCaption),
                                       std::string(loadtext::LoadErrorMessage),
                                       std::string(loadtext::LoadErrorCaption),
                                       std::string(writetext::Caption),
                                       std::string(writetext::NotFound),
                                       std::string(writetext::NoData),
                                       std::string(writetext::BadFormat),
                                       std::string(edittext::Unexpected),
                                       std::string(edittext::DeleteCaption),
                                       std::string(edittext::RenameCaption),
                                       std::string(edittext::MoveQuestion),
                                       std::string(edittext::MoveCaption),
                                       std::string(newtext::NewFileCaption),
                                       std::string(newtext::AutoBlocksQuestion),
                                       std::string(newtext::SoundscapeCaption),
                                       std::string(newtext::SoundscapePromptCaption),
                                       std::string(newtext::OpenOrCreateFile),
                                       std::string(newtext::DuplicateName),
                                       std::string(newtext::NewCaption),
                                       std::string(newtext::NoHeaderName),
                                       std::string(newtext::NoParameterName),
                                       std::string(newtext::PlacementQuestion),
                                       std::string(newtext::PlacementCaption)};
        for (BraceProblem problem :
             {BraceProblem::UnmatchedClose, BraceProblem::LeftOpen, BraceProblem::InQuotes})
            texts.push_back(loadtext::braceMessage(BraceCheck{false, problem, 12}));
        for (BlockKind kind : {BlockKind::PlayLooping, BlockKind::PlayRandom, BlockKind::RandomWaves,
                               BlockKind::PlaySoundscape}) {
            texts.push_back(blockFailureMessage(kind).text);
            texts.push_back(blockFailureMessage(kind).caption);
        }
        const LoadResult loaded = loadScript("\"sc %2\"\r\n{\r\n\t\"wave\"\t\"a.wav\"\r\n}\r\n");
        QVERIFY(loaded.failure == LoadFailure::None);
        const Node* soundscape = loaded.tree.first();
        const Node* wave = soundscape->child(0);
        for (const Message& m :
             {deleteQuestion(*soundscape), deleteQuestion(*wave), moveQuestion(*wave, *soundscape)}) {
            texts.push_back(m.text);
            texts.push_back(m.caption);
        }
        FixedRandom random;
        RandomSchedule schedule(random);
        texts.push_back(schedule.waitingText());
        texts.push_back(RandomSchedule::playingText("Звук.wav", RandomDraw{1500, 0, 0.5, 90}));

        // Russian: exactly the core's text.
        for (const std::string& text : texts)
            QCOMPARE(coreText(text), QString::fromStdString(text));
        QVERIFY(installLanguage(Language::English));
        for (const std::string& text : texts) {
            const QString english = coreText(text);
            // A name from the document ("Звук.wav") may stay Cyrillic; the rest is English.
            QVERIFY2(!hasCyrillic(QString(english).remove(QStringLiteral("Звук"))), text.c_str());
        }
        QCOMPARE(
            coreText(loadtext::braceMessage(BraceCheck{false, BraceProblem::LeftOpen, 7})),
            QStringLiteral("Error. One or more opening (closing) braces are missing. Or the file cannot be "
                           "loaded into the program. Line 7: opening brace \"{\" is not closed."));
        // The element's name is taken as it is, "%2" in it included.
        QCOMPARE(coreText(deleteQuestion(*wave).text),
                 QStringLiteral(
                     "Do you really want to delete the header (parameter, section) [\"wave\" \"a.wav\"] "
                     "in [\"sc %2\"]?\rNote: the comments are deleted too."));
        QCOMPARE(coreText(RandomSchedule::playingText("Звук.wav", RandomDraw{1500, 0, 0.5, 90})),
                 QStringLiteral(" [Звук.wav] Volume = 0.5. Pitch = 90; Waiting... 1.5 sec."));
        // A text that is not the core's passes unchanged.
        QCOMPARE(coreText("Play Looping"), QStringLiteral("Play Looping"));
    }

    void uiTextFillsInAllPartsAtOnce() {
        QCOMPARE(uiText("Строка %1: %2", {QStringLiteral("%2"), QStringLiteral("x")}),
                 QStringLiteral("Строка %2: x"));
        QVERIFY(installLanguage(Language::English));
        QCOMPARE(uiText("Строка %1: %2", {QStringLiteral("3"), QStringLiteral("%1")}),
                 QStringLiteral("Line 3: %1"));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_Translations.moc"
