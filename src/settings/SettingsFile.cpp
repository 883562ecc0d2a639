#include "SettingsFile.h"

#include "SettingsState.h"
#include "common/NumberFormat.h"
#include "common/Win1251.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <optional>

namespace {

// Only the first thirteen lines of the settings file matter, and each holds a short value.
// A line is kept up to kMaxLineBytes (the rest of it is skipped), and no more than
// kMaxScanBytes are looked at in all; past that the file reads as if it had ended.
constexpr qint64 kMaxLineBytes = 64 * 1024;
constexpr qint64 kMaxScanBytes = 16 * 1024 * 1024;

// The init command file is read whole, up to this size.
constexpr qint64 kMaxInitCommandsBytes = 4 * 1024 * 1024;

// Values longer than this are shortened when quoted in an error message.
constexpr qsizetype kMaxQuotedLength = 40;

// Removes every character up to and including the blank (code 0x20) at both ends.
QString trimControls(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

// The text after the first '='; the whole text when there is none.
QString afterFirstEquals(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    return equals < 0 ? line : line.mid(equals + 1);
}

QString quoted(const QString& value)
{
    if (value.size() <= kMaxQuotedLength)
        return QStringLiteral("'%1'").arg(value);
    return QStringLiteral("'%1...'").arg(value.left(kMaxQuotedLength));
}

// Hands out the settings file's lines one by one: decoded, without any CR, trimmed.
// Past the end of the file every line is empty.
class LineReader
{
public:
    explicit LineReader(QIODevice& device) : m_device(device) {}

    QString next()
    {
        QByteArray line;
        char chunk[4096];
        while (!m_ended) {
            if (m_budget <= 0) {
                m_ended = true;
                break;
            }
            const qint64 count = m_device.readLine(chunk, sizeof chunk);
            if (count <= 0) {
                m_ended = true;
                break;
            }
            m_budget -= count;
            const bool complete = chunk[count - 1] == '\n';
            const qint64 length = complete ? count - 1 : count;
            if (line.size() < kMaxLineBytes)
                line.append(chunk, qMin(length, kMaxLineBytes - line.size()));
            if (complete)
                break;
        }
        line.removeIf([](char c) { return c == '\r'; });
        return trimControls(Win1251::decode(line));
    }

private:
    QIODevice& m_device;
    qint64 m_budget = kMaxScanBytes;
    bool m_ended = false;
};

// A "key=value" line: whether the key with its '=' occurs anywhere in the line, and the
// text after the line's first '='.
struct KeyedLine
{
    bool hasKey;
    QString value;
};

KeyedLine readKeyed(LineReader& reader, QLatin1String key)
{
    const QString line = reader.next();
    return {line.contains(key), afterFirstEquals(line)};
}

qint32 wholeNumber(int line, const QString& value)
{
    if (const auto number = NumberFormat::tryParseWholeNumber(value))
        return *number;
    throw SettingsFileError(SettingsFile::kSettingsFileName, line,
                            QStringLiteral("%1 is not a valid integer value").arg(quoted(value)));
}

void readSettings(QIODevice& device, SettingsState& state)
{
    using Spin = SettingsState::Spin;
    LineReader reader(device);

    // 1: the port, "port=COM<n>" or "port=<device path>".
    {
        const KeyedLine port = readKeyed(reader, QLatin1String("port="));
        QString value = port.value;
        if (port.hasKey && value.startsWith(u'/')) {
            state.setPortPath(value);
            state.setComPath(value);
        } else if (port.hasKey) {
            value.remove(0, 3); // "COM"
            const qint32 number = wholeNumber(1, value);
            if (number < 0 || number > 0xFFFF) {
                throw SettingsFileError(
                    SettingsFile::kSettingsFileName, 1,
                    QStringLiteral("%1 is not a valid port number").arg(quoted(value)));
            }
            state.setPortNumber(quint16(number));
            state.setComNumber(quint16(number));
        }
    }

    // 2: the baud rate.
    if (const KeyedLine baud = readKeyed(reader, QLatin1String("baud=")); baud.hasKey) {
        const qint32 rate = wholeNumber(2, baud.value);
        state.setBaudRate(rate);
        state.setComBaud(rate);
    }

    state.setComPortNumText(state.portPath().isEmpty() ? QString::number(state.portNumber())
                                                       : state.portPath());
    state.setComPortBaudText(QString::number(state.baudRate()));

    // 3: a setting of no use here.
    reader.next();

    if (const KeyedLine vd = readKeyed(reader, QLatin1String("v=")); vd.hasKey)
        state.setVd(vd.value);
    if (const KeyedLine kor = readKeyed(reader, QLatin1String("h=")); kor.hasKey)
        state.setSpinText(Spin::Kor, kor.value);

    // 6 and 7 are taken whatever key they carry.
    const QString method = trimControls(afterFirstEquals(reader.next()));
    state.setMapMaf(method.toLower() == QLatin1String("maf") ? SettingsState::kMaf
                                                             : SettingsState::kMap);

    const QString protocol = trimControls(afterFirstEquals(reader.next()));
    const qsizetype protocolIndex = SettingsState::comboBoxProtokolItems().indexOf(protocol);
    state.setComboBoxProtokol(protocolIndex < 0 ? SettingsState::kProtokolAutomatic
                                                : int(protocolIndex));

    if (const KeyedLine tank = readKeyed(reader, QLatin1String("FuelTank=")); tank.hasKey)
        state.setSpinText(Spin::FuelTank, tank.value);
    if (const KeyedLine kSpeed = readKeyed(reader, QLatin1String("KSpeed=")); kSpeed.hasKey)
        state.setSpinText(Spin::KSpeed, kSpeed.value);
    if (const KeyedLine warm = readKeyed(reader, QLatin1String("EngineWarm=")); warm.hasKey)
        state.setSpinText(Spin::Progrev, warm.value);

    if (const KeyedLine fast = readKeyed(reader, QLatin1String("FastPull=")); fast.hasKey)
        state.setFastPulling(fast.value == QLatin1String("1"));
    if (const KeyedLine mode21 = readKeyed(reader, QLatin1String("Mode21=")); mode21.hasKey)
        state.setToyota21(mode21.value == QLatin1String("1"));

    if (const KeyedLine pause = readKeyed(reader, QLatin1String("Pause=")); pause.hasKey)
        state.setPauseMs(wholeNumber(13, pause.value));
}

void writeWholeFile(const QString& path, const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw SettingsFileError(fileName, 0,
                                QStringLiteral("cannot be written: %1").arg(file.errorString()));
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        throw SettingsFileError(fileName, 0,
                                QStringLiteral("cannot be written: %1").arg(file.errorString()));
    }
}

// Lines end at CR LF, at a lone LF or at a lone CR; a break at the very end does not
// start another line.
QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

SettingsFile::SettingsFile(const QString& directory) : m_directory(directory) {}

QString SettingsFile::settingsFilePath() const
{
    return QDir(m_directory).filePath(kSettingsFileName);
}

QString SettingsFile::initCommandsFilePath() const
{
    return QDir(m_directory).filePath(kInitCommandsFileName);
}

QByteArray SettingsFile::defaultSettingsFile()
{
    return QByteArrayLiteral("port=COM1\r\n"
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
                             "Pause=200\r\n");
}

QByteArray SettingsFile::settingsFileContents(const SettingsState& state)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    const QStringList lines{
        state.comPath().isEmpty() ? QStringLiteral("port=COM%1").arg(state.comNumber())
                                  : QStringLiteral("port=") + state.comPath(),
        QStringLiteral("baud=%1").arg(state.comBaud()),
        QStringLiteral("skins="),
        QStringLiteral("v=") + state.vd(),
        QStringLiteral("h=") + state.kor().text(),
        state.mapMaf() == SettingsState::kMap ? QStringLiteral("MapMaf=MAP")
                                              : QStringLiteral("MapMaf=MAF"),
        QStringLiteral("protocol=") + state.comboBoxProtokolText(),
        QStringLiteral("FuelTank=") + state.fuelTank().text(),
        QStringLiteral("KSpeed=") + state.kSpeed().text(),
        QStringLiteral("EngineWarm=") + state.progrev().text(),
        QStringLiteral("FastPull=") + flag(state.fastPulling()),
        QStringLiteral("Mode21=") + flag(state.toyota21()),
        QStringLiteral("Pause=%1").arg(state.pauseMs()),
    };
    return Win1251::encodeLines(lines);
}

SettingsFile::LoadOutcome SettingsFile::loadSettings(SettingsState& state) const
{
    QFile file(settingsFilePath());
    if (file.open(QIODevice::ReadOnly)) {
        readSettings(file, state);
        return LoadOutcome::Read;
    }

    std::optional<SettingsFileError> writeError;
    QByteArray defaults = defaultSettingsFile();
    try {
        writeWholeFile(settingsFilePath(), kSettingsFileName, defaults);
    } catch (const SettingsFileError& error) {
        writeError = error;
    }
    // Taken exactly as reading the file just written would take them.
    QBuffer buffer(&defaults);
    buffer.open(QIODevice::ReadOnly);
    readSettings(buffer, state);
    if (writeError)
        throw *writeError;
    return LoadOutcome::DefaultsWritten;
}

void SettingsFile::saveSettings(const SettingsState& state) const
{
    writeWholeFile(settingsFilePath(), kSettingsFileName, settingsFileContents(state));
}

void SettingsFile::loadInitCommands(SettingsState& state) const
{
    QFile file(initCommandsFilePath());
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        throw SettingsFileError(kInitCommandsFileName, 0,
                                QStringLiteral("cannot be read: %1").arg(file.errorString()));
    }
    QByteArray bytes = file.read(kMaxInitCommandsBytes);
    if (file.error() != QFileDevice::NoError) {
        throw SettingsFileError(kInitCommandsFileName, 0,
                                QStringLiteral("cannot be read: %1").arg(file.errorString()));
    }
    // The text ends at a NUL character.
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    state.appendToListBox1(splitLines(Win1251::decode(bytes)));
}
