#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <cmath>
#include <optional>
#include <vector>

// A form's stored layout as read from its JSON file. Positions and sizes are
// twips, as stored.
namespace forms::detail {

struct StoredFont {
    QString name;
    double points = 8.0;
    bool bold = false;
};

// A colour as stored: either a fixed RGB value or one of the system's colours,
// which are resolved against the application's palette when widgets are made.
struct StoredColor {
    enum class System { none, buttonText, windowText, buttonFace };
    QColor rgb;
    System system = System::none;
};

// What a control is. Menu items are controls too: they have a name, a
// caption and a Click, though the layout lists them apart.
enum class Kind { image, pictureBox, label, shape, frame, button, line, timer, menuItem };

// The kind as the layout spells it ("pictureBox", "menuItem", ...).
QString kindName(Kind kind);

struct StoredControl {
    QString name;
    Kind kind = Kind::label;
    int left = 0, top = 0, width = 0, height = 0;
    QString caption;
    bool visible = true;
    bool enabled = true;
    std::optional<StoredColor> foreColor;
    std::optional<StoredColor> backColor;
    std::optional<StoredColor> borderColor;
    bool opaque = false;  // labels and shapes: fill the background
    Qt::Alignment alignment = Qt::AlignLeft;
    std::optional<StoredFont> font;
    QString picture;         // images and picture boxes
    bool border = false;     // picture boxes: a sunken 2-pixel edge
    QString figure;          // shapes: "rectangle" or "circle"
    bool graphical = false;  // buttons: drawn in their back colour
    bool isDefault = false, isCancel = false;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // lines
    int interval = 0;                    // timers, milliseconds
};

struct StoredMenuItem {
    QString name;
    QString caption;
};

struct StoredForm {
    QString path;
    QString caption;
    std::optional<StoredColor> backColor;
    QString icon;
    int clientWidth = 0, clientHeight = 0;
    std::optional<int> screenLeft, screenTop;  // where the client area opens
    bool fixedSize = false;
    std::optional<StoredFont> font;  // the default for controls without one
    std::vector<StoredMenuItem> menu;
    std::vector<StoredControl> controls;
    QStringList tabOrder;
};

// Reads and checks a layout; LayoutError names the file and the fault.
StoredForm readLayout(const QString& path);
StoredForm parseLayout(const QByteArray& json, const QString& path);

inline constexpr int twipsPerPixel = 15;
inline int pixels(int twips)
{
    return static_cast<int>(std::lround(twips / double(twipsPerPixel)));
}

}  // namespace forms::detail
