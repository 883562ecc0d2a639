#include "common/Win1251.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsState.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <utility>

using Spin = SettingsState::Spin;

namespace {

// Every setting as "Name=value", spin edits as their texts, so that a failed comparison
// names the first setting that differs.
QStringList snapshot(const SettingsState& s)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    return {
        QStringLiteral("PortNumber=%1").arg(s.portNumber()),
        QStringLiteral("PortPath=") + s.portPath(),
        QStringLiteral("BaudRate=%1").arg(s.baudRate()),
        QStringLiteral("PauseMs=%1").arg(s.pauseMs()),
        QStringLiteral("ComNumber=%1").arg(s.comNumber()),
        QStringLiteral("ComPath=") + s.comPath(),
        QStringLiteral("ComBaud=%1").arg(s.comBaud()),
        QStringLiteral("ComPortNum=") + s.comPortNumText(),
        QStringLiteral("ComPortBaud=") + s.comPortBaudText(),
        QStringLiteral("VD=") + s.vd(),
        QStringLiteral("Kor=") + s.kor().text(),
        QStringLiteral("MapMaf=%1").arg(s.mapMaf()),
        QStringLiteral("ComboBoxProtokol=%1").arg(s.comboBoxProtokol()),
        QStringLiteral("FuelTank=") + s.fuelTank().text(),
        QStringLiteral("KSpeed=") + s.kSpeed().text(),
        QStringLiteral("Progrev=") + s.progrev().text(),
        QStringLiteral("FastPulling=") + flag(s.fastPulling()),
        QStringLiteral("Toyota21=") + flag(s.toyota21()),
    };
}

const QStringList kDesignState{
    "PortNumber=0", "PortPath=",         "BaudRate=0",         "PauseMs=0",    "ComNumber=0",
    "ComPath=",     "ComBaud=38400",     "ComPortNum=COM1",    "ComPortBaud=", "VD=2300",
    "Kor=75",       "MapMaf=0",          "ComboBoxProtokol=0", "FuelTank=65",  "KSpeed=1.00",
    "Progrev=0.00", "FastPulling=false", "Toyota21=false",
};

const QStringList kDefaultFileState{
    "PortNumber=1", "PortPath=",         "BaudRate=38400",     "PauseMs=200",       "ComNumber=1",
    "ComPath=",     "ComBaud=38400",     "ComPortNum=1",       "ComPortBaud=38400", "VD=2300",
    "Kor=75",       "MapMaf=1",          "ComboBoxProtokol=0", "FuelTank=30",       "KSpeed=1.00",
    "Progrev=0.00", "FastPulling=false", "Toyota21=false",
};

// The base snapshot with some "Name=value" entries replaced.
QStringList withChanges(QStringList base, const QStringList& changes)
{
    for (const QString& change : changes) {
        const QString name = change.section(u'=', 0, 0) + u'=';
        const auto it = std::find_if(base.begin(), base.end(),
                                     [&](const QString& entry) { return entry.startsWith(name); });
        if (it == base.end())
            qFatal("no setting %s in the snapshot", qPrintable(name));
        *it = change;
    }
    return base;
}

const QList<QByteArray> kDefaultLines{
    "port=COM1",  "baud=38400",         "skins=Nautilus", "v=2300",      "h=75",
    "MapMaf=MAF", "protocol=Automatic", "FuelTank=30",    "KSpeed=1.00", "EngineWarm=0.00",
    "FastPull=0", "Mode21=0",           "Pause=200",
};

QByteArray joined(const QList<QByteArray>& lines, const QByteArray& lineEnd = "\r\n")
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + lineEnd;
    return bytes;
}

// The default file with some of its lines (numbered from 1) replaced.
QByteArray defaultFileWith(std::initializer_list<std::pair<int, QByteArray>> changes)
{
    QList<QByteArray> lines = kDefaultLines;
    for (const auto& [number, line] : changes)
        lines[number - 1] = line;
    return joined(lines);
}

// "Из файла" as the settings file holds it.
const QByteArray kFromFileCp1251("\xC8\xE7 \xF4\xE0\xE9\xEB\xE0");

template <typename Action> QString errorOf(Action&& action)
{
    try {
        action();
    } catch (const SettingsFileError& error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QByteArray readFile(const QString& name)
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return "<cannot be read>";
        return file.readAll();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void aStartWithoutSettingsFileWritesTheDefaultFileAndTakesItsValues()
    {
        SettingsState state;
        const auto outcome = SettingsFile(m_dir->path()).loadSettings(state);

        QCOMPARE(outcome, SettingsFile::LoadOutcome::DefaultsWritten);
        QCOMPARE(readFile("Tachora.ini"), QByteArray("port=COM1\r\n"
                                                     "baud=38400\r\n"
                                                     "skins=Nautilus\r\n"
                                                     "v=2300\r\n"
                                                     "h=75\r\n"
                                                     "MapMaf=MAF\r\n"
                                                     "protocol=Automatic\r\n"
                                                     "FuelTank=30\r\n"
                                                     "KSpeed=1.00\r\n"
                                                     "EngineWarm=0.00\r\n"
                                                     "FastPull=0\r\n"
                                                     "Mode21=0\r\n"
                                                     "Pause=200\r\n"));
        QCOMPARE(snapshot(state), kDefaultFileState);
    }

    void defaultsAreTakenEvenWhenTheDefaultFileCannotBeWritten()
    {
        // A directory in the file's place can be neither read nor replaced.
        QVERIFY(QDir(m_dir->path()).mkdir("Tachora.ini"));
        SettingsState state;

        const QString error = errorOf([&] { SettingsFile(m_dir->path()).loadSettings(state); });

        QCOMPARE(error.section(u':', 0, 1), QStringLiteral("Tachora.ini: cannot be written"));
        QCOMPARE(snapshot(state), kDefaultFileState);
    }

    void eachLineSetsItsSettingByPosition_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("changes"); // against the default file's settings

        QTest::newRow("default file") << joined(kDefaultLines) << QStringList();
        QTest::newRow("LF line ends") << joined(kDefaultLines, "\n") << QStringList();
        QTest::newRow("a CR inside a line is dropped")
            << defaultFileWith({{1, "port=COM\r7"}})
            << QStringList{"PortNumber=7", "ComNumber=7", "ComPortNum=7"};

        QTest::newRow("COM12") << defaultFileWith({{1, "port=COM12"}})
                               << QStringList{"PortNumber=12", "ComNumber=12", "ComPortNum=12"};
        QTest::newRow("device path")
            << defaultFileWith({{1, "port=/dev/ttyUSB0"}})
            << QStringList{"PortNumber=0", "PortPath=/dev/ttyUSB0", "ComNumber=0",
                           "ComPath=/dev/ttyUSB0", "ComPortNum=/dev/ttyUSB0"};
        QTest::newRow("port without its key")
            << defaultFileWith({{1, "COM5"}})
            << QStringList{"PortNumber=0", "ComNumber=0", "ComPortNum=0"};
        QTest::newRow("baud without its key")
            << defaultFileWith({{2, "9600"}})
            << QStringList{"BaudRate=0", "ComBaud=38400", "ComPortBaud=0"};
        QTest::newRow("baud 9600")
            << defaultFileWith({{2, "baud=9600"}})
            << QStringList{"BaudRate=9600", "ComBaud=9600", "ComPortBaud=9600"};

        QTest::newRow("key found inside another name")
            << defaultFileWith({{4, "Dev=1600"}, {5, "Depth=80"}})
            << QStringList{"VD=1600", "Kor=80"};
        QTest::newRow("value runs from the first =")
            << defaultFileWith({{4, "v=1.6=L"}}) << QStringList{"VD=1.6=L"};
        QTest::newRow("value keeps a blank after =")
            << defaultFileWith({{4, "v= 2000"}}) << QStringList{"VD= 2000"};
        QTest::newRow("cp1251 letters")
            << defaultFileWith({{4, "v=\xC4\xE2\xE8\xE3"}}) << QStringList{"VD=Двиг"};
        QTest::newRow("undefined cp1251 byte and NUL inside a value")
            << defaultFileWith({{4, QByteArray("v=1\x98\0"
                                               "2",
                                               6)}})
            << QStringList{"VD=" + Win1251::decode(QByteArray("1\x98\0"
                                                              "2",
                                                              4))};

        QTest::newRow("maf in any case with blanks")
            << defaultFileWith({{6, "MapMaf=  mAf  "}}) << QStringList{"MapMaf=1"};
        QTest::newRow("maf without a key")
            << defaultFileWith({{6, "Maf"}}) << QStringList{"MapMaf=1"};
        QTest::newRow("maf under another key")
            << defaultFileWith({{6, "Method=maf"}}) << QStringList{"MapMaf=1"};
        QTest::newRow("MAP") << defaultFileWith({{6, "MapMaf=MAP"}}) << QStringList{"MapMaf=0"};
        QTest::newRow("empty method")
            << defaultFileWith({{6, "MapMaf="}}) << QStringList{"MapMaf=0"};
        QTest::newRow("empty line 6") << defaultFileWith({{6, ""}}) << QStringList{"MapMaf=0"};

        QTest::newRow("protocol as listed")
            << defaultFileWith({{7, "protocol=SAE J1850 VPW (10.4 Kbaud)"}})
            << QStringList{"ComboBoxProtokol=2"};
        QTest::newRow("protocol with blanks around")
            << defaultFileWith({{7, "protocol=  ISO 9141-2 (5 baud init, 10.4 Kbaud)  "}})
            << QStringList{"ComboBoxProtokol=3"};
        QTest::newRow("protocol in other capitals")
            << defaultFileWith({{7, "protocol=SAE J1850 VPW (10.4 KBAUD)"}})
            << QStringList{"ComboBoxProtokol=0"};
        QTest::newRow("from file in cp1251")
            << defaultFileWith({{7, "protocol=" + kFromFileCp1251}})
            << QStringList{"ComboBoxProtokol=10"};
        QTest::newRow("from file in UTF-8")
            << defaultFileWith({{7, "protocol=" + QStringLiteral("Из файла").toUtf8()}})
            << QStringList{"ComboBoxProtokol=0"};

        QTest::newRow("spin texts")
            << defaultFileWith(
                   {{5, "h=70.6"}, {8, "FuelTank=40"}, {9, "KSpeed=1.5"}, {10, "EngineWarm=2"}})
            << QStringList{"Kor=71", "FuelTank=40", "KSpeed=1.50", "Progrev=2.00"};
        QTest::newRow("spin texts out of range")
            << defaultFileWith({{5, "h=10"}, {8, "FuelTank=500"}, {9, "KSpeed=1.234"}})
            << QStringList{"Kor=60", "FuelTank=100", "KSpeed=1.23"};
        QTest::newRow("spin text that is no number")
            << defaultFileWith({{8, "FuelTank=lots"}}) << QStringList{"FuelTank=65"};
        QTest::newRow("keyed line without =")
            << defaultFileWith({{8, "FuelTank"}}) << QStringList{"FuelTank=65"};
        QTest::newRow("NULs after a value are trimmed")
            << defaultFileWith({{8, QByteArray("FuelTank=40\0\0", 13)}})
            << QStringList{"FuelTank=40"};
        QTest::newRow("NUL inside a number") << defaultFileWith({{8, QByteArray("FuelTank=4\0"
                                                                                "0",
                                                                                12)}})
                                             << QStringList{"FuelTank=65"};

        QTest::newRow("FastPull= 1 stays off")
            << defaultFileWith({{11, "FastPull= 1"}}) << QStringList{"FastPulling=false"};
        QTest::newRow("FastPull=1 with a blank after switches on")
            << defaultFileWith({{11, "FastPull=1 "}}) << QStringList{"FastPulling=true"};
        QTest::newRow("Mode21=1") << defaultFileWith({{12, "Mode21=1"}})
                                  << QStringList{"Toyota21=true"};
        QTest::newRow("pause") << defaultFileWith({{13, "Pause=350"}})
                               << QStringList{"PauseMs=350"};

        QList<QByteArray> shifted = kDefaultLines;
        shifted.prepend("[Settings]");
        QTest::newRow("lines shifted down by a header")
            << joined(shifted)
            << QStringList{"PortNumber=0",  "ComNumber=0", "BaudRate=0",  "ComPortNum=0",
                           "ComPortBaud=0", "MapMaf=0",    "FuelTank=65", "PauseMs=0"};
        QTest::newRow("lines 6 and 7 swapped")
            << defaultFileWith(
                   {{6, "protocol=ISO 9141-2 (5 baud init, 10.4 Kbaud)"}, {7, "MapMaf=MAF"}})
            << QStringList{"MapMaf=0", "ComboBoxProtokol=0"};

        QByteArray everyByte;
        for (int b = 0; b < 256; ++b) {
            if (b != '\n')
                everyByte += char(b);
        }
        QTest::newRow("every byte value on the unused line")
            << defaultFileWith({{3, "skins=" + everyByte}}) << QStringList();
        QTest::newRow("2 MiB unused line")
            << defaultFileWith({{3, "skins=" + QByteArray(2 * 1024 * 1024, 'n')}}) << QStringList();
    }
    void eachLineSetsItsSettingByPosition()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, changes);
        writeFile("Tachora.ini", file);
        SettingsState state;
        auto outcome = SettingsFile::LoadOutcome::DefaultsWritten;

        const QString error =
            errorOf([&] { outcome = SettingsFile(m_dir->path()).loadSettings(state); });

        QCOMPARE(error, QString());
        QCOMPARE(outcome, SettingsFile::LoadOutcome::Read);
        QCOMPARE(snapshot(state), withChanges(kDefaultFileState, changes));
    }

    void aShortFileReadsItsMissingLinesAsEmpty()
    {
        QList<QByteArray> sixLines = kDefaultLines.mid(0, 6);
        sixLines[5] = "MapMaf=MAP";
        writeFile("Tachora.ini", joined(sixLines));
        SettingsState state;
        state.setMapMaf(SettingsState::kMaf);
        state.setComboBoxProtokol(5);
        state.setSpinValue(Spin::FuelTank, 50);
        state.setSpinValue(Spin::KSpeed, 1.5);
        state.setSpinValue(Spin::Progrev, 2);
        state.setFastPulling(true);
        state.setToyota21(true);
        state.setPauseMs(300);

        SettingsFile(m_dir->path()).loadSettings(state);

        QCOMPARE(snapshot(state),
                 withChanges(kDefaultFileState,
                             {"MapMaf=0", "ComboBoxProtokol=0", "FuelTank=50", "KSpeed=1.50",
                              "Progrev=2.00", "FastPulling=true", "Toyota21=true", "PauseMs=300"}));
    }

    void aHugeFileWithoutLineBreaksIsReadAsOneUselessLine()
    {
        writeFile("Tachora.ini", QByteArray(20 * 1024 * 1024, 'x'));
        SettingsState state;

        SettingsFile(m_dir->path()).loadSettings(state);

        QCOMPARE(snapshot(state), withChanges(kDesignState, {"ComPortNum=0", "ComPortBaud=0"}));
    }

    void aNonNumericPortBaudOrPauseStopsTheReadingAtItsLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("base");
        QTest::addColumn<QStringList>("changes");

        QTest::newRow("port not a number")
            << defaultFileWith({{1, "port=COMx"}})
            << "Tachora.ini, line 1: 'x' is not a valid integer value" << kDesignState
            << QStringList();
        QTest::newRow("port number missing")
            << defaultFileWith({{1, "port=COM"}})
            << "Tachora.ini, line 1: '' is not a valid integer value" << kDesignState
            << QStringList();
        QTest::newRow("port beyond 65535")
            << defaultFileWith({{1, "port=COM65536"}})
            << "Tachora.ini, line 1: '65536' is not a valid port number" << kDesignState
            << QStringList();
        QTest::newRow("port of 100000 digits")
            << defaultFileWith({{1, "port=COM" + QByteArray(100000, '9')}})
            << "Tachora.ini, line 1: '" + QString(40, u'9') + "...' is not a valid integer value"
            << kDesignState << QStringList();
        QTest::newRow("CR-only line ends make one line")
            << joined(kDefaultLines, "\r")
            << "Tachora.ini, line 1: '1baud=38400skins=Nautilusv=2300h=75MapMa...' is not a "
               "valid integer value"
            << kDesignState << QStringList();
        QTest::newRow("baud not a number")
            << defaultFileWith({{2, "baud=fast"}})
            << "Tachora.ini, line 2: 'fast' is not a valid integer value" << kDesignState
            << QStringList{"PortNumber=1", "ComNumber=1"};
        QTest::newRow("baud empty") << defaultFileWith({{2, "baud="}})
                                    << "Tachora.ini, line 2: '' is not a valid integer value"
                                    << kDesignState << QStringList{"PortNumber=1", "ComNumber=1"};
        QTest::newRow("pause not a number")
            << defaultFileWith({{5, "h=80"}, {13, "Pause=200ms"}})
            << "Tachora.ini, line 13: '200ms' is not a valid integer value" << kDefaultFileState
            << QStringList{"Kor=80", "PauseMs=0"};
        QTest::newRow("pause empty") << defaultFileWith({{13, "Pause="}})
                                     << "Tachora.ini, line 13: '' is not a valid integer value"
                                     << kDefaultFileState << QStringList{"PauseMs=0"};
    }
    void aNonNumericPortBaudOrPauseStopsTheReadingAtItsLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        QFETCH(QStringList, base);
        QFETCH(QStringList, changes);
        writeFile("Tachora.ini", file);
        SettingsState state;

        QCOMPARE(errorOf([&] { SettingsFile(m_dir->path()).loadSettings(state); }), error);
        QCOMPARE(snapshot(state), withChanges(base, changes));
    }

    void savingWritesTheThirteenLinesInCp1251()
    {
        SettingsState state;
        state.setComNumber(7);
        state.setComBaud(9600);
        state.setVd("1998");
        state.setSpinValue(Spin::Kor, 80);
        state.setMapMaf(SettingsState::kMap);
        state.setComboBoxProtokol(SettingsState::kProtokolFromFile);
        state.setSpinValue(Spin::FuelTank, 55);
        state.setSpinValue(Spin::KSpeed, 1.05);
        state.setSpinValue(Spin::Progrev, 1);
        state.setFastPulling(true);
        state.setPauseMs(350);
        writeFile("Tachora.ini", QByteArray(5000, 'o')); // an older, longer file

        SettingsFile(m_dir->path()).saveSettings(state);

        QCOMPARE(readFile("Tachora.ini"), QByteArray("port=COM7\r\n"
                                                     "baud=9600\r\n"
                                                     "skins=\r\n"
                                                     "v=1998\r\n"
                                                     "h=80\r\n"
                                                     "MapMaf=MAP\r\n"
                                                     "protocol=") +
                                              kFromFileCp1251 +
                                              QByteArray("\r\n"
                                                         "FuelTank=55\r\n"
                                                         "KSpeed=1.05\r\n"
                                                         "EngineWarm=1.00\r\n"
                                                         "FastPull=1\r\n"
                                                         "Mode21=0\r\n"
                                                         "Pause=350\r\n"));
    }

    void aSavedFileReadsBackToTheSameSettings_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("vd");
        QTest::addColumn<double>("kor");
        QTest::addColumn<int>("mapMaf");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<double>("fuelTank");
        QTest::addColumn<double>("kSpeed");
        QTest::addColumn<double>("progrev");
        QTest::addColumn<bool>("fastPulling");
        QTest::addColumn<bool>("toyota21");
        QTest::addColumn<int>("pause");

        QTest::newRow("COM port, MAP, from file") << "3" << 9600 << "1998" << 80.0 << 0 << 10
                                                  << 55.0 << 1.07 << 2.0 << true << false << 350;
        QTest::newRow("device path, MAF, CAN") << "/dev/ttyUSB1" << 38400 << "" << 95.0 << 1 << 9
                                               << 10.0 << 2.0 << 1.0 << false << true << 0;
        QTest::newRow("odd text in VD") << "65535" << 115200 << " 2.4 = L" << 60.0 << 1 << 0
                                        << 100.0 << 1.0 << 0.0 << true << true << 1000;
    }
    void aSavedFileReadsBackToTheSameSettings()
    {
        QFETCH(QString, port);
        QFETCH(int, baud);
        QFETCH(QString, vd);
        QFETCH(double, kor);
        QFETCH(int, mapMaf);
        QFETCH(int, protocol);
        QFETCH(double, fuelTank);
        QFETCH(double, kSpeed);
        QFETCH(double, progrev);
        QFETCH(bool, fastPulling);
        QFETCH(bool, toyota21);
        QFETCH(int, pause);
        SettingsState saved;
        if (port.startsWith(u'/')) {
            saved.setPortPath(port);
            saved.setComPath(port);
        } else {
            saved.setPortNumber(port.toUShort());
            saved.setComNumber(port.toUShort());
        }
        saved.setBaudRate(baud);
        saved.setComBaud(baud);
        saved.setComPortNumText(port);
        saved.setComPortBaudText(QString::number(baud));
        saved.setVd(vd);
        saved.setSpinValue(Spin::Kor, kor);
        saved.setMapMaf(mapMaf);
        saved.setComboBoxProtokol(protocol);
        saved.setSpinValue(Spin::FuelTank, fuelTank);
        saved.setSpinValue(Spin::KSpeed, kSpeed);
        saved.setSpinValue(Spin::Progrev, progrev);
        saved.setFastPulling(fastPulling);
        saved.setToyota21(toyota21);
        saved.setPauseMs(pause);
        const SettingsFile file(m_dir->path());

        file.saveSettings(saved);
        SettingsState loaded;
        file.loadSettings(loaded);

        QCOMPARE(snapshot(loaded), snapshot(saved));
    }

    void aFailedSaveThrowsNamingTheFile()
    {
        SettingsState state;
        const QString error = errorOf(
            [&] { SettingsFile(m_dir->filePath("no such directory")).saveSettings(state); });
        QCOMPARE(error.section(u':', 0, 1), QStringLiteral("Tachora.ini: cannot be written"));
    }

    void spinEditsStayInTheirRangeAndDecimals_data()
    {
        QTest::addColumn<Spin>("spin");
        QTest::addColumn<double>("start");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("emitted");

        QTest::newRow("KSpeed up at 2.00 stays") << Spin::KSpeed << 2.0 << "up"
                                                 << ""
                                                 << "2.00" << 0;
        QTest::newRow("KSpeed up from 1.99") << Spin::KSpeed << 1.99 << "up"
                                             << ""
                                             << "2.00" << 1;
        QTest::newRow("KSpeed down at 1.00 stays") << Spin::KSpeed << 1.0 << "down"
                                                   << ""
                                                   << "1.00" << 0;
        QTest::newRow("FuelTank down at 10 stays") << Spin::FuelTank << 10.0 << "down"
                                                   << ""
                                                   << "10" << 0;
        QTest::newRow("FuelTank up") << Spin::FuelTank << 65.0 << "up"
                                     << ""
                                     << "66" << 1;
        QTest::newRow("Progrev up by a whole one") << Spin::Progrev << 0.0 << "up"
                                                   << ""
                                                   << "1.00" << 1;
        QTest::newRow("Progrev up stops at 2") << Spin::Progrev << 1.5 << "up"
                                               << ""
                                               << "2.00" << 1;
        QTest::newRow("Kor set above the range") << Spin::Kor << 75.0 << "value"
                                                 << "120"
                                                 << "95" << 1;
        QTest::newRow("Kor set below the range") << Spin::Kor << 75.0 << "value"
                                                 << "-3"
                                                 << "60" << 1;
        QTest::newRow("KSpeed set to more decimals") << Spin::KSpeed << 1.0 << "value"
                                                     << "1.236"
                                                     << "1.24" << 1;
        QTest::newRow("same value again") << Spin::FuelTank << 40.0 << "value"
                                          << "40"
                                          << "40" << 0;
        QTest::newRow("KSpeed text") << Spin::KSpeed << 1.0 << "text"
                                     << "1.5"
                                     << "1.50" << 1;
        QTest::newRow("FuelTank text beyond range") << Spin::FuelTank << 65.0 << "text"
                                                    << "250"
                                                    << "100" << 1;
        QTest::newRow("text that is no number") << Spin::KSpeed << 1.25 << "text"
                                                << "fast"
                                                << "1.25" << 0;
        QTest::newRow("empty text") << Spin::Kor << 80.0 << "text"
                                    << ""
                                    << "80" << 0;
    }
    void spinEditsStayInTheirRangeAndDecimals()
    {
        QFETCH(Spin, spin);
        QFETCH(double, start);
        QFETCH(QString, action);
        QFETCH(QString, argument);
        QFETCH(QString, text);
        QFETCH(int, emitted);
        SettingsState state;
        state.setSpinValue(spin, start);
        QSignalSpy kor(&state, &SettingsState::korChanged);
        QSignalSpy fuelTank(&state, &SettingsState::fuelTankChanged);
        QSignalSpy kSpeed(&state, &SettingsState::kSpeedChanged);
        QSignalSpy progrev(&state, &SettingsState::progrevChanged);

        if (action == "up")
            state.stepUp(spin);
        else if (action == "down")
            state.stepDown(spin);
        else if (action == "value")
            state.setSpinValue(spin, argument.toDouble());
        else
            state.setSpinText(spin, argument);

        QCOMPARE(state.spinEdit(spin).text(), text);
        QCOMPARE(kor.count() + fuelTank.count() + kSpeed.count() + progrev.count(), emitted);
    }

    void settersSignalOnlyRealChanges()
    {
        SettingsState state;
        QSignalSpy mapMaf(&state, &SettingsState::mapMafChanged);
        QSignalSpy protocol(&state, &SettingsState::comboBoxProtokolChanged);
        QSignalSpy port(&state, &SettingsState::portChanged);
        QSignalSpy texts(&state, &SettingsState::comPortTextsChanged);
        QSignalSpy vd(&state, &SettingsState::vdChanged);

        state.setMapMaf(0);
        state.setMapMaf(1);
        state.setMapMaf(1);
        state.setMapMaf(2);
        QCOMPARE(mapMaf.count(), 1);
        QCOMPARE(mapMaf.at(0).at(0).toInt(), 1);

        state.setComboBoxProtokol(0);
        state.setComboBoxProtokol(11);
        state.setComboBoxProtokol(-1);
        QCOMPARE(protocol.count(), 0);

        state.setPortNumber(0);
        state.setPortPath("/dev/ttyS0");
        state.setPortNumber(0);
        QCOMPARE(port.count(), 2);
        QCOMPARE(state.portPath(), QString());

        state.setComPortNumText("COM1");
        state.setComPortNumText("COM2");
        state.setComPortBaudText("");
        QCOMPARE(texts.count(), 1);

        state.setVd("2300");
        QCOMPARE(vd.count(), 0);
    }

    void initCommandLinesAreAppendedUnchanged_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");

        const QStringList two{"ATZ", "ATE0"};
        QTest::newRow("CR LF") << QStringList() << QByteArray("ATZ\r\nATE0\r\n") << two;
        QTest::newRow("lone LF") << QStringList() << QByteArray("ATZ\nATE0") << two;
        QTest::newRow("lone CR") << QStringList() << QByteArray("ATZ\rATE0\r") << two;
        QTest::newRow("mixed breaks") << QStringList() << QByteArray("A\rB\nC\r\nD\n\r")
                                      << QStringList{"A", "B", "C", "D", ""};
        QTest::newRow("empty line in the middle")
            << QStringList() << QByteArray("ATZ\r\n\r\nATE0\r\n") << QStringList{"ATZ", "", "ATE0"};
        QTest::newRow("only a line break")
            << QStringList() << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("blanks kept")
            << QStringList() << QByteArray(" AT SP 0\t\r\n") << QStringList{" AT SP 0\t"};
        QTest::newRow("NUL in the middle ends the text")
            << QStringList() << QByteArray("ATZ\r\nAT\0SP0\r\nATE0\r\n", 19)
            << QStringList{"ATZ", "AT"};
        QTest::newRow("empty file") << QStringList() << QByteArray() << QStringList();
        QTest::newRow("after existing items")
            << QStringList{"ATWS"} << QByteArray("ATZ\r\n") << QStringList{"ATWS", "ATZ"};
    }
    void initCommandLinesAreAppendedUnchanged()
    {
        QFETCH(QStringList, before);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        writeFile("ELM.ini", file);
        SettingsState state;
        state.setListBox1(before);

        SettingsFile(m_dir->path()).loadInitCommands(state);

        QCOMPARE(state.listBox1(), expected);
    }

    void aMissingInitCommandFileAddsNothingButAnUnreadableOneThrows()
    {
        SettingsState state;
        state.setListBox1({"ATWS"});
        const SettingsFile file(m_dir->path());

        QCOMPARE(errorOf([&] { file.loadInitCommands(state); }), QString());
        QCOMPARE(state.listBox1(), QStringList{"ATWS"});

        QVERIFY(QDir(m_dir->path()).mkdir("ELM.ini"));
        const QString error = errorOf([&] { file.loadInitCommands(state); });
        QCOMPARE(error.section(u':', 0, 1), QStringLiteral("ELM.ini: cannot be read"));
        QCOMPARE(state.listBox1(), QStringList{"ATWS"});
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
