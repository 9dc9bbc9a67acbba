#include "layout.h"

#include "forms/errors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <map>

namespace forms::detail {
namespace {

// Walks one JSON object, remembering which keys were used, so that a key the
// runtime does not know (most often a typing slip) is reported, not ignored.
class Reader {
public:
    Reader(const QJsonObject& object, QString where)
        : object_(object),
          where_(std::move(where))
    {}

    [[noreturn]] void fail(const QString& message) const
    {
        throw LayoutError((where_ + QStringLiteral(": ") + message).toStdString());
    }

    bool has(const QString& key) const { return object_.contains(key); }

    QJsonValue value(const QString& key)
    {
        used_.insert(key);
        return object_.value(key);
    }

    QString string(const QString& key)
    {
        const QJsonValue v = value(key);
        if (!v.isString())
            fail(QStringLiteral("'%1' must be text").arg(key));
        return v.toString();
    }
    QString string(const QString& key, const QString& fallback) { return has(key) ? string(key) : fallback; }

    int integer(const QString& key)
    {
        const QJsonValue v = value(key);
        const double d = v.toDouble(0.5);
        if (!v.isDouble() || d != std::floor(d) || std::abs(d) > 1e7)
            fail(QStringLiteral("'%1' must be a whole number").arg(key));
        return static_cast<int>(d);
    }

    double number(const QString& key)
    {
        const QJsonValue v = value(key);
        if (!v.isDouble())
            fail(QStringLiteral("'%1' must be a number").arg(key));
        return v.toDouble();
    }

    bool flag(const QString& key, bool fallback)
    {
        if (!has(key))
            return fallback;
        const QJsonValue v = value(key);
        if (!v.isBool())
            fail(QStringLiteral("'%1' must be true or false").arg(key));
        return v.toBool();
    }

    QJsonArray array(const QString& key)
    {
        const QJsonValue v = value(key);
        if (!v.isArray())
            fail(QStringLiteral("'%1' must be a list").arg(key));
        return v.toArray();
    }

    // A setting that takes one of a few words, `fallback` when absent.
    QString oneOf(const QString& key, const QStringList& words, const QString& fallback)
    {
        const QString word = string(key, fallback);
        if (!words.contains(word)) {
            QString list = words.first();
            for (qsizetype i = 1; i < words.size(); ++i)
                list += (i + 1 < words.size() ? QStringLiteral(", ") : QStringLiteral(" or ")) + words[i];
            fail(QStringLiteral("'%1' must be %2").arg(key, list));
        }
        return word;
    }

    QJsonObject object(const QString& key)
    {
        const QJsonValue v = value(key);
        if (!v.isObject())
            fail(QStringLiteral("'%1' must be an object").arg(key));
        return v.toObject();
    }

    void finish() const
    {
        for (auto it = object_.begin(); it != object_.end(); ++it)
            if (!used_.contains(it.key()))
                fail(QStringLiteral("unknown setting '%1'").arg(it.key()));
    }

    const QString& where() const { return where_; }

private:
    QJsonObject object_;
    QString where_;
    QSet<QString> used_;
};

StoredColor readColor(Reader& r, const QString& key)
{
    const QString text = r.string(key);
    static const std::map<QString, StoredColor::System> systemColors{
        {QStringLiteral("buttonText"), StoredColor::System::buttonText},
        {QStringLiteral("windowText"), StoredColor::System::windowText},
        {QStringLiteral("buttonFace"), StoredColor::System::buttonFace},
    };
    if (const auto it = systemColors.find(text); it != systemColors.end())
        return StoredColor{QColor(), it->second};
    const QColor rgb = QColor::fromString(text);
    if (!text.startsWith(QLatin1Char('#')) || text.size() != 7 || !rgb.isValid())
        r.fail(QStringLiteral("'%1' must be #RRGGBB or a system colour, not '%2'").arg(key, text));
    return StoredColor{rgb, StoredColor::System::none};
}

std::optional<StoredColor> optionalColor(Reader& r, const QString& key)
{
    if (!r.has(key))
        return std::nullopt;
    return readColor(r, key);
}

StoredFont readFont(Reader& parent, const QString& key)
{
    Reader r(parent.object(key), parent.where() + QStringLiteral(", font"));
    StoredFont font;
    font.name = r.string(QStringLiteral("name"));
    font.points = r.number(QStringLiteral("size"));
    font.bold = r.flag(QStringLiteral("bold"), false);
    if (font.points <= 0)
        r.fail(QStringLiteral("'size' must be above 0"));
    r.finish();
    return font;
}

// Every kind with its spelling in the layout, both ways.
const std::map<QString, Kind>& kinds()
{
    static const std::map<QString, Kind> all{
        {QStringLiteral("image"), Kind::image},       {QStringLiteral("pictureBox"), Kind::pictureBox},
        {QStringLiteral("label"), Kind::label},       {QStringLiteral("shape"), Kind::shape},
        {QStringLiteral("frame"), Kind::frame},       {QStringLiteral("button"), Kind::button},
        {QStringLiteral("line"), Kind::line},         {QStringLiteral("timer"), Kind::timer},
        {QStringLiteral("menuItem"), Kind::menuItem},
    };
    return all;
}

Kind readKind(Reader& r)
{
    const QString name = r.string(QStringLiteral("kind"));
    const auto it = kinds().find(name);
    // Menu items have a list of their own; in the controls they would have
    // nowhere to go.
    if (it == kinds().end() || it->second == Kind::menuItem)
        r.fail(QStringLiteral("unknown kind '%1'").arg(name));
    return it->second;
}

void readBox(Reader& r, StoredControl& c)
{
    c.left = r.integer(QStringLiteral("left"));
    c.top = r.integer(QStringLiteral("top"));
    c.width = r.integer(QStringLiteral("width"));
    c.height = r.integer(QStringLiteral("height"));
    if (c.width <= 0 || c.height <= 0)
        r.fail(QStringLiteral("'width' and 'height' must be above 0"));
}

void readLook(Reader& r, StoredControl& c)
{
    c.caption = r.string(QStringLiteral("caption"), QString());
    c.foreColor = optionalColor(r, QStringLiteral("foreColor"));
    c.backColor = optionalColor(r, QStringLiteral("backColor"));
    if (r.has(QStringLiteral("font")))
        c.font = readFont(r, QStringLiteral("font"));
}

Qt::Alignment readAlignment(Reader& r)
{
    const QString a =
        r.oneOf(QStringLiteral("alignment"),
                {QStringLiteral("left"), QStringLiteral("right"), QStringLiteral("center")}, QStringLiteral("left"));
    if (a == QLatin1String("right"))
        return Qt::AlignRight;
    if (a == QLatin1String("center"))
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

bool readBackStyle(Reader& r)
{
    return r.oneOf(QStringLiteral("backStyle"), {QStringLiteral("opaque"), QStringLiteral("transparent")},
                   QStringLiteral("opaque")) == QLatin1String("opaque");
}

StoredControl readControl(const QJsonValue& value, const QString& path, qsizetype index)
{
    if (!value.isObject())
        throw LayoutError(QStringLiteral("%1: control %2 must be an object").arg(path).arg(index).toStdString());
    const QJsonObject object = value.toObject();
    const QString name = object.value(QStringLiteral("name")).toString();
    Reader r(object, name.isEmpty() ? QStringLiteral("%1, control %2").arg(path).arg(index)
                                    : QStringLiteral("%1, control '%2'").arg(path, name));
    StoredControl c;
    c.name = r.string(QStringLiteral("name"));
    c.kind = readKind(r);
    c.visible = r.flag(QStringLiteral("visible"), true);
    c.enabled = r.flag(QStringLiteral("enabled"), true);

    switch (c.kind) {
    case Kind::image:
    case Kind::pictureBox:
        readBox(r, c);
        c.picture = r.string(QStringLiteral("picture"));
        c.border = c.kind == Kind::pictureBox && r.flag(QStringLiteral("border"), true);
        break;
    case Kind::label:
        readBox(r, c);
        readLook(r, c);
        c.opaque = readBackStyle(r);
        c.alignment = readAlignment(r);
        break;
    case Kind::shape:
        readBox(r, c);
        c.figure = r.oneOf(QStringLiteral("figure"), {QStringLiteral("rectangle"), QStringLiteral("circle")},
                           QStringLiteral("rectangle"));
        c.opaque = readBackStyle(r);
        c.backColor = optionalColor(r, QStringLiteral("backColor"));
        c.borderColor = optionalColor(r, QStringLiteral("borderColor"));
        break;
    case Kind::frame:
        readBox(r, c);
        readLook(r, c);
        break;
    case Kind::button:
        readBox(r, c);
        readLook(r, c);
        c.graphical = r.oneOf(QStringLiteral("style"), {QStringLiteral("standard"), QStringLiteral("graphical")},
                              QStringLiteral("standard")) == QLatin1String("graphical");
        c.isDefault = r.flag(QStringLiteral("default"), false);
        c.isCancel = r.flag(QStringLiteral("cancel"), false);
        break;
    case Kind::line:
        c.x1 = r.integer(QStringLiteral("x1"));
        c.y1 = r.integer(QStringLiteral("y1"));
        c.x2 = r.integer(QStringLiteral("x2"));
        c.y2 = r.integer(QStringLiteral("y2"));
        c.borderColor = optionalColor(r, QStringLiteral("borderColor"));
        c.left = std::min(c.x1, c.x2);
        c.top = std::min(c.y1, c.y2);
        c.width = std::abs(c.x2 - c.x1);
        c.height = std::abs(c.y2 - c.y1);
        break;
    case Kind::timer:
        c.interval = r.integer(QStringLiteral("interval"));
        if (c.interval <= 0)
            r.fail(QStringLiteral("'interval' must be above 0"));
        break;
    case Kind::menuItem:  // refused by readKind
        break;
    }
    r.finish();
    return c;
}

}  // namespace

QString kindName(Kind kind)
{
    for (const auto& [name, k] : kinds())
        if (k == kind)
            return name;
    return {};
}

StoredForm parseLayout(const QByteArray& json, const QString& path)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw LayoutError(
            QStringLiteral("%1: %2 at offset %3").arg(path, error.errorString()).arg(error.offset).toStdString());
    if (!document.isObject())
        throw LayoutError(QStringLiteral("%1: the layout must be a JSON object").arg(path).toStdString());

    Reader r(document.object(), path);
    StoredForm form;
    form.path = path;
    r.string(QStringLiteral("form"));  // the form's name, for whoever reads the file
    form.caption = r.string(QStringLiteral("caption"), QString());
    form.backColor = optionalColor(r, QStringLiteral("backColor"));
    form.icon = r.string(QStringLiteral("icon"), QString());
    form.clientWidth = r.integer(QStringLiteral("clientWidth"));
    form.clientHeight = r.integer(QStringLiteral("clientHeight"));
    if (r.has(QStringLiteral("screenLeft")))
        form.screenLeft = r.integer(QStringLiteral("screenLeft"));
    if (r.has(QStringLiteral("screenTop")))
        form.screenTop = r.integer(QStringLiteral("screenTop"));
    form.fixedSize = r.oneOf(QStringLiteral("border"), {QStringLiteral("sizable"), QStringLiteral("fixedDialog")},
                             QStringLiteral("sizable")) == QLatin1String("fixedDialog");
    if (r.has(QStringLiteral("font")))
        form.font = readFont(r, QStringLiteral("font"));

    QSet<QString> names;
    const auto claim = [&](const QString& name) {
        if (name.isEmpty() || names.contains(name))
            r.fail(QStringLiteral("control name '%1' is empty or used twice").arg(name));
        names.insert(name);
    };

    if (r.has(QStringLiteral("menu"))) {
        const QJsonArray menu = r.array(QStringLiteral("menu"));
        for (qsizetype i = 0; i < menu.size(); ++i) {
            Reader item(menu.at(i).toObject(), QStringLiteral("%1, menu item %2").arg(path).arg(i));
            StoredMenuItem m{item.string(QStringLiteral("name")), item.string(QStringLiteral("caption"))};
            item.finish();
            claim(m.name);
            form.menu.push_back(m);
        }
    }

    const QJsonArray controls = r.array(QStringLiteral("controls"));
    for (qsizetype i = 0; i < controls.size(); ++i) {
        form.controls.push_back(readControl(controls.at(i), path, i));
        claim(form.controls.back().name);
    }

    if (r.has(QStringLiteral("tabOrder"))) {
        for (const QJsonValue& v : r.array(QStringLiteral("tabOrder"))) {
            if (!names.contains(v.toString()))
                r.fail(QStringLiteral("tab order names '%1', which is no control").arg(v.toString()));
            form.tabOrder << v.toString();
        }
    }
    r.finish();
    return form;
}

StoredForm readLayout(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw LayoutError(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
    return parseLayout(file.readAll(), path);
}

}  // namespace forms::detail
