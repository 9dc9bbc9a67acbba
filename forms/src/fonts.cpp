#include "fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QResource>

#include <algorithm>
#include <map>
#include <set>

namespace forms::detail {

const std::vector<StandIn>& standIns()
{
    static const std::vector<StandIn> all = {
        {QStringLiteral("Garamond"),
         QStringLiteral("EB Garamond"),
         QStringLiteral("EB Garamond"),
         {{QStringLiteral(":/forms/fonts/EBGaramond12-Bold.otf"), QFont::Bold}}},
        // The carried serif is no Palatino, but it keeps the cards, "Deal"
        // and "VARNEL" inside their faces as well, and one file fewer.
        {QStringLiteral("Palatino Linotype"),
         QStringLiteral("P052"),
         QStringLiteral("Liberation Serif"),
         {{QStringLiteral(":/forms/fonts/LiberationSerif-Bold.ttf"), QFont::Bold}}},
        {QStringLiteral("MS Sans Serif"),
         QStringLiteral("Liberation Sans"),
         QStringLiteral("Liberation Sans"),
         {{QStringLiteral(":/forms/fonts/LiberationSans-Regular.ttf"), QFont::Normal},
          {QStringLiteral(":/forms/fonts/LiberationSans-Bold.ttf"), QFont::Bold}}},
        {QStringLiteral("Sylfaen"),
         QStringLiteral("Liberation Serif"),
         QStringLiteral("Liberation Serif"),
         {{QStringLiteral(":/forms/fonts/LiberationSerif-Bold.ttf"), QFont::Bold}}},
    };
    return all;
}

bool desktopHas(const StandIn& standIn)
{
    if (!QFontDatabase::hasFamily(standIn.preferred))
        return false;
    const QStringList styles = QFontDatabase::styles(standIn.preferred);
    return std::all_of(standIn.files.begin(), standIn.files.end(), [&](const CarriedFile& file) {
        return std::any_of(styles.begin(), styles.end(), [&](const QString& style) {
            return !QFontDatabase::italic(standIn.preferred, style) &&
                   QFontDatabase::weight(standIn.preferred, style) == file.weight;
        });
    });
}

void registerCarried(const StandIn& standIn)
{
    static std::set<QString> registered;
    for (const CarriedFile& file : standIn.files) {
        if (!registered.insert(file.resource).second)
            continue;
        // The faces are stored uncompressed: the font database reads them
        // where the program's image holds them, and only the pages it reads
        // are ever loaded.
        const QResource resource(file.resource);
        const QByteArray data =
            resource.compressionAlgorithm() == QResource::NoCompression
                ? QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()), resource.size())
                : resource.uncompressedData();
        QFontDatabase::addApplicationFontFromData(data);
    }
}

namespace {

std::map<QString, QString>& choices()
{
    static std::map<QString, QString> chosen;
    return chosen;
}

}  // namespace

void installFonts()
{
    static const bool installed = [] {
        // Every choice is made on the desktop's own faces, before any
        // carried one joins them.
        std::vector<bool> onDesktop;
        for (const StandIn& standIn : standIns())
            onDesktop.push_back(desktopHas(standIn));
        const QString applicationFamily = QGuiApplication::font().family();
        const bool applicationFontMissing = QFontInfo(QGuiApplication::font()).family().isEmpty();

        for (std::size_t i = 0; i < standIns().size(); ++i) {
            const StandIn& standIn = standIns()[i];
            if (!onDesktop[i])
                registerCarried(standIn);
            const QString family = onDesktop[i] ? standIn.preferred : standIn.carried;
            choices()[standIn.named] = family;
            QFont::insertSubstitution(standIn.named, family);
        }
        if (applicationFontMissing) {
            // The runtime's own small sans serif, as for a control without
            // a font.
            const StandIn& sans = *std::find_if(standIns().begin(), standIns().end(), [](const StandIn& s) {
                return s.named == QLatin1String("MS Sans Serif");
            });
            registerCarried(sans);
            QFont::insertSubstitution(applicationFamily, sans.carried);
        }
        return true;
    }();
    (void)installed;
}

QString standInFamily(const StandIn& standIn)
{
    installFonts();
    return choices().at(standIn.named);
}

}  // namespace forms::detail
