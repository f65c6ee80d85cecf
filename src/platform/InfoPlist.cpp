#include "platform/InfoPlist.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <functional>

namespace Orvoinstaller {

namespace {

// Reads the element the reader stands on; false when it is not one a plist holds.
template <typename Value> bool readValue(QXmlStreamReader& xml, Value& value, int depth = 0) {
    value.type = xml.name().toString();
    if (depth > 64)
        return false;
    if (value.type == QLatin1String("dict") || value.type == QLatin1String("array")) {
        const bool dict = value.type == QLatin1String("dict");
        while (xml.readNextStartElement()) {
            if (dict) {
                if (xml.name() != QLatin1String("key"))
                    return false;
                value.keys.push_back(xml.readElementText());
                if (!xml.readNextStartElement())
                    return false;
            }
            value.members.emplace_back();
            if (!readValue(xml, value.members.back(), depth + 1))
                return false;
        }
        return !xml.hasError();
    }
    if (value.type == QLatin1String("true") || value.type == QLatin1String("false")) {
        xml.skipCurrentElement();
        return !xml.hasError();
    }
    static const QStringList scalars{"string", "integer", "real", "date", "data"};
    if (!scalars.contains(value.type))
        return false;
    value.text = xml.readElementText();
    return !xml.hasError();
}

template <typename Value> void writeValue(QXmlStreamWriter& xml, const Value& value) {
    if (value.type == QLatin1String("true") || value.type == QLatin1String("false")) {
        xml.writeEmptyElement(value.type);
    } else if (value.type == QLatin1String("dict") || value.type == QLatin1String("array")) {
        xml.writeStartElement(value.type);
        for (size_t i = 0; i < value.members.size(); ++i) {
            if (i < value.keys.size())
                xml.writeTextElement(QStringLiteral("key"), value.keys[i]);
            writeValue(xml, value.members[i]);
        }
        xml.writeEndElement();
    } else {
        xml.writeTextElement(value.type, value.text);
    }
}

// The failures of reading and writing a bundle's files, in one context.
struct BundleFiles {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::BundleFiles)

public:
    static Error reading(const QString& path, const QString& reason) {
        return Error::saying(Text(tr, QT_TR_NOOP("无法读取文件 “%1”: %2"), {path, reason}));
    }
    static Error writing(const QString& path, const QString& reason) {
        return Error::saying(Text(tr, QT_TR_NOOP("无法写入 “%1”: %2"), {path, reason}));
    }
    static Error notAList(const QString& path) {
        return Error::of(ErrorKind::io,
                         Text(tr, QT_TR_NOOP("“%1” 不是 XML 格式的属性列表"), {path}));
    }
};

} // namespace

std::optional<InfoPlist> InfoPlist::parse(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("plist") ||
        !xml.readNextStartElement() || xml.name() != QLatin1String("dict"))
        return std::nullopt;
    InfoPlist plist;
    if (!readValue(xml, plist.m_top))
        return std::nullopt;
    return plist;
}

Result<InfoPlist> InfoPlist::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return BundleFiles::reading(path, file.errorString());
    auto plist = parse(file.readAll());
    if (!plist)
        return BundleFiles::notAList(path);
    return std::move(*plist);
}

QByteArray InfoPlist::serialize() const {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(-1); // tabs, as Xcode writes them
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"));
    xml.writeStartElement(QStringLiteral("plist"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    writeValue(xml, m_top);
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

Failure InfoPlist::write(const QString& path) const {
    return saveFile(path, serialize());
}

QHash<QString, QString> InfoPlist::strings() const {
    QHash<QString, QString> values;
    for (size_t i = 0; i < m_top.keys.size(); ++i)
        if (m_top.members[i].type == QLatin1String("string"))
            values.insert(m_top.keys[i], m_top.members[i].text);
    return values;
}

void InfoPlist::setString(const QString& key, const QString& value) {
    for (size_t i = 0; i < m_top.keys.size(); ++i) {
        if (m_top.keys[i] == key) {
            m_top.members[i] = Value{QStringLiteral("string"), value, {}, {}};
            return;
        }
    }
    m_top.keys.push_back(key);
    m_top.members.push_back(Value{QStringLiteral("string"), value, {}, {}});
}

Failure saveFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return BundleFiles::writing(path, file.errorString());
    return std::nullopt;
}

} // namespace Orvoinstaller
