#include "Big5Codec.h"
#include "TIniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// One INI operation on a file: what it returns and what the file holds after.
class tst_IniFile : public QObject
{
    Q_OBJECT

private slots:
    void semantics_data();
    void semantics();
    void missingFileGivesDefaultsAndWriteCreatesIt();
    void unwritableFileFailsWithItsName();
    void chineseTextRoundTripsAsUtf8();
    void big5FileIsReadAndStaysBig5();
    void big5FileRefusesTextBig5CannotHold();

private:
    QString Path() const { return QDir(FDir.path()).filePath(QStringLiteral("Search.ini")); }
    void SetFile(const QByteArray& text) const;
    QByteArray FileText() const;

    QTemporaryDir FDir;
};

void tst_IniFile::SetFile(const QByteArray& text) const
{
    QFile f(Path());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QByteArray tst_IniFile::FileText() const
{
    QFile f(Path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no file>");
}

void tst_IniFile::semantics_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value"); // the default of a read, the value of a write
    QTest::addColumn<QString>("result");
    QTest::addColumn<QByteArray>("after"); // empty: the file is unchanged

    const QByteArray file = "; settings\n"
                            "[Product]\n"
                            "Combo=3\n"
                            "  Radio =  1  \n"
                            "Edit=abc\n"
                            "\n"
                            "[Other]\n"
                            "Combo=7\n"
                            "Bad=12x\n"
                            "Big=99999999999\n"
                            "Neg=-42\n"
                            "Empty=\n"
                            "; Combo=9\n";

    QTest::newRow("read") << file << "read"
                          << "Product"
                          << "Edit"
                          << "def"
                          << "abc" << QByteArray();
    QTest::newRow("read is case-insensitive") << file << "read"
                                              << "PRODUCT"
                                              << "edit"
                                              << "def"
                                              << "abc" << QByteArray();
    QTest::newRow("read trims name and value") << file << "read"
                                               << "Product"
                                               << "Radio"
                                               << "def"
                                               << "1" << QByteArray();
    QTest::newRow("missing key gives default") << file << "read"
                                               << "Product"
                                               << "Nope"
                                               << "def"
                                               << "def" << QByteArray();
    QTest::newRow("missing section gives default") << file << "read"
                                                   << "Nope"
                                                   << "Edit"
                                                   << "def"
                                                   << "def" << QByteArray();
    QTest::newRow("empty value is a value") << file << "read"
                                            << "Other"
                                            << "Empty"
                                            << "def"
                                            << "" << QByteArray();
    QTest::newRow("section keys stay in their section") << file << "read"
                                                        << "Other"
                                                        << "Edit"
                                                        << "def"
                                                        << "def" << QByteArray();
    QTest::newRow("comment is no key") << QByteArray("[A]\n;K=1\n") << "read"
                                       << "A"
                                       << ";K"
                                       << "def"
                                       << "def" << QByteArray();
    QTest::newRow("first of two keys wins") << QByteArray("[A]\nK=1\nK=2\n") << "read"
                                            << "A"
                                            << "K"
                                            << ""
                                            << "1" << QByteArray();
    QTest::newRow("first of two sections wins") << QByteArray("[A]\nK=1\n[a]\nK=2\nL=3\n") << "read"
                                                << "A"
                                                << "L"
                                                << "def"
                                                << "def" << QByteArray();
    QTest::newRow("CR LF file") << QByteArray("[A]\r\nK=v\r\n") << "read"
                                << "A"
                                << "K"
                                << ""
                                << "v" << QByteArray();

    QTest::newRow("integer") << file << "readint"
                             << "Product"
                             << "Combo"
                             << "-1"
                             << "3" << QByteArray();
    QTest::newRow("negative integer") << file << "readint"
                                      << "Other"
                                      << "Neg"
                                      << "-1"
                                      << "-42" << QByteArray();
    QTest::newRow("non-integer gives default") << file << "readint"
                                               << "Other"
                                               << "Bad"
                                               << "-1"
                                               << "-1" << QByteArray();
    QTest::newRow("too big gives default") << file << "readint"
                                           << "Other"
                                           << "Big"
                                           << "-1"
                                           << "-1" << QByteArray();
    QTest::newRow("empty gives default") << file << "readint"
                                         << "Other"
                                         << "Empty"
                                         << "5"
                                         << "5" << QByteArray();
    QTest::newRow("text gives default") << file << "readint"
                                        << "Product"
                                        << "Edit"
                                        << "5"
                                        << "5" << QByteArray();

    QTest::newRow("write replaces value, keeps the rest")
        << file << "write"
        << "product"
        << "EDIT"
        << "新值"
        << "" << QByteArray(file).replace("Edit=abc", "Edit=新值");
    QTest::newRow("write keeps the key's spelling")
        << file << "write"
        << "Product"
        << "radio"
        << "2"
        << "" << QByteArray(file).replace("  Radio =  1  ", "  Radio =2");
    QTest::newRow("write adds key at the end of its section")
        << file << "write"
        << "Product"
        << "New"
        << "x"
        << "" << QByteArray(file).replace("Edit=abc\n", "Edit=abc\nNew=x\n");
    QTest::newRow("write adds section at the end") << file << "write"
                                                   << "Third"
                                                   << "K"
                                                   << "v"
                                                   << "" << file + "\n[Third]\nK=v\n";
    QTest::newRow("write to empty file") << QByteArray() << "write"
                                         << "A"
                                         << "K"
                                         << "v"
                                         << "" << QByteArray("[A]\nK=v\n");
    QTest::newRow("write keeps CR LF") << QByteArray("[A]\r\nK=1\r\n") << "write"
                                       << "A"
                                       << "L"
                                       << "2"
                                       << "" << QByteArray("[A]\r\nK=1\r\nL=2\r\n");
    QTest::newRow("write keeps a byte order mark")
        << QByteArray("\xEF\xBB\xBF[A]\nK=1\n") << "write"
        << "A"
        << "K"
        << "2"
        << "" << QByteArray("\xEF\xBB\xBF[A]\nK=2\n");
    QTest::newRow("write makes one line of a value") << QByteArray("[A]\n") << "write"
                                                     << "A"
                                                     << "K"
                                                     << "a\nb"
                                                     << "" << QByteArray("[A]\nK=a b\n");
    QTest::newRow("writeint") << QByteArray("[A]\nK=1\n") << "writeint"
                              << "A"
                              << "K"
                              << "-7"
                              << "" << QByteArray("[A]\nK=-7\n");

    QTest::newRow("sections") << file << "sections"
                              << ""
                              << ""
                              << ""
                              << "Product|Other" << QByteArray();
    QTest::newRow("section keys") << file << "section"
                                  << "product"
                                  << ""
                                  << ""
                                  << "Combo|Radio|Edit" << QByteArray();
    QTest::newRow("section values")
        << file << "sectionvalues"
        << "Other"
        << ""
        << ""
        << "Combo=7|Bad=12x|Big=99999999999|Neg=-42|Empty=" << QByteArray();
    QTest::newRow("section exists") << file << "sectionexists"
                                    << "OTHER"
                                    << ""
                                    << ""
                                    << "1" << QByteArray();
    QTest::newRow("section does not exist") << file << "sectionexists"
                                            << "Nope"
                                            << ""
                                            << ""
                                            << "0" << QByteArray();
    QTest::newRow("value exists") << file << "valueexists"
                                  << "Other"
                                  << "empty"
                                  << ""
                                  << "1" << QByteArray();
    QTest::newRow("value does not exist") << file << "valueexists"
                                          << "Other"
                                          << "Edit"
                                          << ""
                                          << "0" << QByteArray();

    QTest::newRow("erase section takes its lines, keeps the others")
        << file << "erase"
        << "other"
        << ""
        << ""
        << "" << QByteArray("; settings\n[Product]\nCombo=3\n  Radio =  1  \nEdit=abc\n\n");
    QTest::newRow("erase missing section changes nothing") << file << "erase"
                                                           << "Nope"
                                                           << ""
                                                           << ""
                                                           << "" << QByteArray();
    QTest::newRow("delete key") << file << "delete"
                                << "Product"
                                << "combo"
                                << ""
                                << ""
                                << QByteArray(file).replace("[Product]\nCombo=3\n", "[Product]\n");
    QTest::newRow("delete missing key changes nothing") << file << "delete"
                                                        << "Product"
                                                        << "Nope"
                                                        << ""
                                                        << "" << QByteArray();
}

void tst_IniFile::semantics()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, action);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, result);
    QFETCH(QByteArray, after);

    SetFile(before);
    TIniFile ini(Path());
    QString got;
    if (action == QLatin1String("read"))
        got = ini.ReadString(section, key, value);
    else if (action == QLatin1String("readint"))
        got = QString::number(ini.ReadInteger(section, key, value.toInt()));
    else if (action == QLatin1String("write"))
        ini.WriteString(section, key, value);
    else if (action == QLatin1String("writeint"))
        ini.WriteInteger(section, key, value.toInt());
    else if (action == QLatin1String("sections"))
        got = ini.ReadSections().join(QLatin1Char('|'));
    else if (action == QLatin1String("section"))
        got = ini.ReadSection(section).join(QLatin1Char('|'));
    else if (action == QLatin1String("sectionvalues"))
        got = ini.ReadSectionValues(section).join(QLatin1Char('|'));
    else if (action == QLatin1String("sectionexists"))
        got = QString::number(ini.SectionExists(section));
    else if (action == QLatin1String("valueexists"))
        got = QString::number(ini.ValueExists(section, key));
    else if (action == QLatin1String("erase"))
        ini.EraseSection(section);
    else if (action == QLatin1String("delete"))
        ini.DeleteKey(section, key);
    else
        QFAIL(qPrintable(action));

    QCOMPARE(got, result);
    QCOMPARE(FileText(), after.isEmpty() ? before : after);
}

void tst_IniFile::missingFileGivesDefaultsAndWriteCreatesIt()
{
    QFile::remove(Path());
    TIniFile ini(Path());
    QCOMPARE(ini.ReadString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("d")),
             QStringLiteral("d"));
    QCOMPARE(ini.ReadInteger(QStringLiteral("A"), QStringLiteral("K"), 9), 9);
    QVERIFY(ini.ReadSections().isEmpty());
    QVERIFY(!QFile::exists(Path()));
    ini.WriteInteger(QStringLiteral("A"), QStringLiteral("K"), 4);
    QCOMPARE(FileText(), QByteArray("[A]\nK=4\n"));
}

void tst_IniFile::unwritableFileFailsWithItsName()
{
    const QString path = QDir(FDir.path()).filePath(QStringLiteral("no/such/folder/x.ini"));
    TIniFile ini(path);
    try {
        ini.WriteString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("v"));
        QFAIL("no error");
    } catch (const EIniFileException& e) {
        QCOMPARE(e.Message(), QStringLiteral("Unable to write to ") + path);
    }
}

void tst_IniFile::chineseTextRoundTripsAsUtf8()
{
    SetFile(QByteArray());
    TIniFile ini(Path());
    ini.WriteString(QStringLiteral("商品"), QStringLiteral("Edit"), QStringLiteral("蘋果 汁"));
    QCOMPARE(FileText(), QStringLiteral("[商品]\nEdit=蘋果 汁\n").toUtf8());
    QCOMPARE(ini.ReadString(QStringLiteral("商品"), QStringLiteral("edit"), QString()),
             QStringLiteral("蘋果 汁"));
}

namespace
{

QByteArray Big5(const QString& text)
{
    QByteArray bytes;
    char32_t bad = 0;
    if (!Big5Codec::Encode(text, bytes, bad)) qFatal("test text outside Big5");
    return bytes;
}

} // namespace

// As a Windows program leaves it: the values in the Big5 code page.
void tst_IniFile::big5FileIsReadAndStaysBig5()
{
    SetFile(Big5(QStringLiteral("[PRODUCT]\r\nCombo=3\r\nEdit=蘋果汁\r\n")));
    TIniFile ini(Path());
    QCOMPARE(ini.ReadString(QStringLiteral("PRODUCT"), QStringLiteral("Edit"), QString()),
             QStringLiteral("蘋果汁"));
    ini.WriteString(QStringLiteral("PRODUCT"), QStringLiteral("Edit"), QStringLiteral("烏龍茶"));
    QCOMPARE(FileText(), Big5(QStringLiteral("[PRODUCT]\r\nCombo=3\r\nEdit=烏龍茶\r\n")));
}

// Other programs read their sections in Big5: the file is never re-encoded.
void tst_IniFile::big5FileRefusesTextBig5CannotHold()
{
    const QByteArray before =
        Big5(QStringLiteral("[OTHER]\r\nName=蘋果汁\r\n[PRODUCT]\r\nEdit=茶\r\n"));
    SetFile(before);
    TIniFile ini(Path());
    // A simplified character that Big5 lacks.
    try {
        ini.WriteString(QStringLiteral("PRODUCT"), QStringLiteral("Edit"), QStringLiteral("我们"));
        QFAIL("written");
    } catch (const EIniFileException& e) {
        QCOMPARE(e.Message(),
                 QStringLiteral("Unable to write to %1: the file is in the Big5 code page, which "
                                "cannot hold the character '们' (U+4EEC)")
                     .arg(Path()));
    }
    QCOMPARE(FileText(), before);
    QCOMPARE(ini.ReadString(QStringLiteral("PRODUCT"), QStringLiteral("Edit"), QString()),
             QStringLiteral("茶"));
}

QTEST_GUILESS_MAIN(tst_IniFile)
#include "tst_inifile.moc"
