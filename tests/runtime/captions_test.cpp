// Every caption of both windows stands whole in its box, in every face the
// game can end up drawing it with: each preferred stand-in and each carried
// face, under each hinting a desktop may ask for.

#include "fonts.h"
#include "layout.h"
#include "widgets.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QResource>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

namespace {

using forms::detail::StandIn;
using forms::detail::StoredControl;
using forms::detail::StoredForm;

const char* const layouts[] = {":/table/play.json", ":/about/frmAbout.json"};

// The texts a control can show: its stored caption and, where the game
// rewrites it, everything it may write there.
std::vector<QString> textsOf(const StoredControl& control)
{
    std::vector<QString> texts;
    if (!control.caption.isEmpty())
        texts.push_back(control.caption);
    const auto named = [&](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&](const char* n) { return control.name == QLatin1String(n); });
    };
    if (named({"ca", "ba"})) {
        // The cash moves in hundreds, as far as a 16-bit integer goes; and
        // that integer's own extremes for good measure.
        for (int value = -32700; value <= 32700; value += 100)
            texts.push_back(QString::number(value));
        texts.push_back(QStringLiteral("-32768"));
        texts.push_back(QStringLiteral("32767"));
    }
    if (named({"c1", "c2", "c3", "d1", "d2", "d3"})) {
        for (int value = 1; value <= 10; ++value)
            texts.push_back(QString::number(value));
    }
    return texts;
}

// A text without blanks is one line whatever its length: of those only the
// widest needs laying out.
std::vector<QString> worthLayingOut(const std::vector<QString>& texts, const QFontMetrics& metrics)
{
    std::vector<QString> kept;
    QString widestWord;
    for (const QString& text : texts) {
        if (text.contains(QLatin1Char(' ')))
            kept.push_back(text);
        else if (widestWord.isNull() || metrics.horizontalAdvance(text) > metrics.horizontalAdvance(widestWord))
            widestWord = text;
    }
    if (!widestWord.isNull())
        kept.push_back(widestWord);
    return kept;
}

// Where the text falls short of its box, as the widget lays it out; empty
// when it stands whole.
std::string misfit(const StoredControl& control, const QString& text, const QFont& font)
{
    const QFontMetrics metrics(font);
    const QRect box(0, 0, forms::detail::pixels(control.width), forms::detail::pixels(control.height));
    const auto outside = [&](const QRect& inner, const QRect& drawn) {
        return "needs " + std::to_string(drawn.width()) + " x " + std::to_string(drawn.height()) + " px, has " +
               std::to_string(inner.width()) + " x " + std::to_string(inner.height());
    };
    switch (control.kind) {
    case forms::detail::Kind::label: {
        const QStringList lines = forms::detail::wrapLines(text, metrics, box.width());
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const QRect drawn(0, 0, widest, static_cast<int>(lines.size()) * metrics.height());
        if (box.contains(drawn))
            return {};
        return outside(box, drawn) + " for the lines \"" + lines.join(QLatin1Char('|')).toStdString() + "\"";
    }
    case forms::detail::Kind::button: {
        QRect inside;
        QRect drawn;
        if (control.graphical) {
            // As the graphical button draws it: inside its 3-pixel edge,
            // centred, broken between words.
            inside = box.adjusted(3, 3, -3, -3);
            drawn = metrics.boundingRect(inside, Qt::AlignCenter | Qt::TextWordWrap, text);
        } else {
            QStyleOptionButton option;
            option.rect = box;
            option.text = text;
            option.fontMetrics = metrics;
            inside = QApplication::style()->subElementRect(QStyle::SE_PushButtonContents, &option);
            drawn = metrics.boundingRect(inside, Qt::AlignCenter | Qt::TextShowMnemonic, text);
        }
        return inside.contains(drawn) ? std::string() : outside(inside, drawn);
    }
    case forms::detail::Kind::frame: {
        // The caption sits on the top edge, 6 pixels in, with 2 pixels of
        // its face on either side.
        const QRect drawn(6, 0, metrics.horizontalAdvance(text) + 4, metrics.height());
        return box.contains(drawn) ? std::string() : outside(box, drawn);
    }
    default:
        return {};
    }
}

enum class Source { preferred, carried };

struct Face {
    const StandIn* standIn;
    Source source;
    QFont::HintingPreference hinting;

    QString family() const { return source == Source::preferred ? standIn->preferred : standIn->carried; }
};

std::string hintingName(QFont::HintingPreference hinting)
{
    switch (hinting) {
    case QFont::PreferNoHinting:
        return "noHinting";
    case QFont::PreferVerticalHinting:
        return "verticalHinting";
    case QFont::PreferFullHinting:
        return "fullHinting";
    default:
        return "defaultHinting";
    }
}

void PrintTo(const Face& face, std::ostream* out)
{
    *out << face.standIn->named.toStdString() << " as " << face.family().toStdString()
         << (face.source == Source::carried ? " (carried), " : ", ") << hintingName(face.hinting);
}

std::vector<Face> everyFace()
{
    std::vector<Face> faces;
    for (const StandIn& standIn : forms::detail::standIns())
        for (Source source : {Source::preferred, Source::carried})
            for (auto hinting : {QFont::PreferNoHinting, QFont::PreferVerticalHinting, QFont::PreferFullHinting})
                faces.push_back({&standIn, source, hinting});
    return faces;
}

std::string faceName(const ::testing::TestParamInfo<Face>& info)
{
    std::string name = info.param.standIn->named.toStdString() + "_as_" + info.param.family().toStdString() +
                       (info.param.source == Source::carried ? "_carried_" : "_") + hintingName(info.param.hinting);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

// The file's own bytes, as the program carries them.
QByteArray carriedData(const QString& resource)
{
    const QResource file(resource);
    return file.uncompressedData();
}

class Captions : public ::testing::TestWithParam<Face> {};

TEST_P(Captions, StandWholeInTheirBoxes)
{
    const Face& face = GetParam();
    const StandIn& standIn = *face.standIn;
    if (face.source == Source::preferred) {
        if (!forms::detail::desktopHas(standIn))
            GTEST_SKIP() << standIn.preferred.toStdString() << " is not on this desktop";
    } else {
        forms::detail::registerCarried(standIn);
    }

    int measured = 0;
    for (const char* path : layouts) {
        const StoredForm form = forms::detail::readLayout(QString::fromLatin1(path));
        for (const StoredControl& control : form.controls) {
            QFont font = forms::detail::makeFont(control.font, form.font);
            if (font.family() != standIn.named)
                continue;
            const std::vector<QString> texts = textsOf(control);
            if (texts.empty())
                continue;
            font.setFamily(face.family());
            font.setHintingPreference(face.hinting);

            const QFontInfo drawnWith(font);
            ASSERT_TRUE(drawnWith.family().startsWith(face.family()) && drawnWith.bold() == font.bold())
                << control.name.toStdString() << " would be drawn in " << drawnWith.family().toStdString()
                << (drawnWith.bold() ? " bold" : "");
            if (face.source == Source::carried) {
                const auto file = std::find_if(standIn.files.begin(), standIn.files.end(),
                                               [&](const auto& f) { return f.weight == font.weight(); });
                ASSERT_NE(file, standIn.files.end()) << "no carried " << face.family().toStdString() << " of weight "
                                                     << font.weight() << " for " << control.name.toStdString();
                const QRawFont carried(carriedData(file->resource), font.pixelSize());
                if (QRawFont::fromFont(font).fontTable("head") != carried.fontTable("head"))
                    GTEST_SKIP() << "this desktop's own " << face.family().toStdString()
                                 << " is another version and hides the carried one here";
            }

            for (const QString& text : worthLayingOut(texts, QFontMetrics(font))) {
                ++measured;
                const std::string fault = misfit(control, text, font);
                EXPECT_TRUE(fault.empty())
                    << form.path.toStdString() << ": " << control.name.toStdString() << " \"" << text.toStdString()
                    << "\" in " << face.family().toStdString() << " " << font.pixelSize() << " px"
                    << (font.bold() ? " bold" : "") << ": " << fault;
            }
        }
    }
    EXPECT_GT(measured, 0) << "no caption of either window is in " << standIn.named.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryFace, Captions, ::testing::ValuesIn(everyFace()), faceName);

// The rule the table above relies on: what each window is drawn with is the
// stand-in chosen for its face, never some other fallback of the desktop's,
// and menus and message boxes get a face even on a desktop without fonts.
// A face the desktop has in every weight needed is the one used: a lookup
// that misses it (a family that two foundries provide is listed under
// qualified names) would draw the carried one instead, and fit its boxes as
// well, so no caption test would notice.
TEST(Fonts, ACarriedFaceOfAnotherFamilyStandsInOnlyWhereTheDesktopLacksThePreferredOne)
{
    for (const StandIn& standIn : forms::detail::standIns()) {
        if (forms::detail::standInFamily(standIn) == standIn.preferred)
            continue;
        const bool everyWeight = std::all_of(standIn.files.begin(), standIn.files.end(), [&](const auto& file) {
            QFont font(standIn.preferred);
            font.setWeight(file.weight);
            const QFontInfo found(font);
            return found.family().startsWith(standIn.preferred) && found.weight() == file.weight && !found.italic();
        });
        EXPECT_FALSE(everyWeight) << standIn.preferred.toStdString() << " is on this desktop, yet "
                                  << forms::detail::standInFamily(standIn).toStdString() << " stands in for "
                                  << standIn.named.toStdString();
    }
}

TEST(Fonts, EveryFaceTheLayoutsNameIsDrawnInItsStandIn)
{
    forms::detail::installFonts();
    for (const StandIn& standIn : forms::detail::standIns()) {
        const QString chosen = forms::detail::standInFamily(standIn);
        for (const auto& file : standIn.files) {
            const QFont font = forms::detail::makeFont(
                forms::detail::StoredFont{standIn.named, 12.0, file.weight == QFont::Bold}, std::nullopt);
            const QFontInfo drawnWith(font);
            EXPECT_TRUE(drawnWith.family().startsWith(chosen) && drawnWith.weight() == file.weight)
                << standIn.named.toStdString() << " weight " << file.weight << " is drawn in "
                << drawnWith.family().toStdString() << " weight " << drawnWith.weight() << ", not "
                << chosen.toStdString();
        }
    }
    EXPECT_FALSE(QFontInfo(QApplication::font()).family().isEmpty()) << "menus and message boxes have no face";
}

}  // namespace
