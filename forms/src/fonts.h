#pragma once

#include <QFont>
#include <QString>

#include <vector>

// The faces that the layouts name come from another platform. Free faces
// close in shape and width stand in for them: the desktop's own copy where it
// has one, otherwise a copy the program carries, so that every caption keeps
// its size and its lines on any desktop, even one without a single font.
namespace forms::detail {

struct CarriedFile {
    QString resource;
    QFont::Weight weight;
};

struct StandIn {
    QString named;                   // as the layouts name it
    QString preferred;               // the desktop's face, used where it has every weight below
    QString carried;                 // the family of the carried files
    std::vector<CarriedFile> files;  // one for each weight the layouts use
};

const std::vector<StandIn>& standIns();

// Whether the desktop's font database holds the preferred face in every
// weight that the layouts use.
bool desktopHas(const StandIn& standIn);

// Makes the carried faces of a stand-in known to the application; once each.
void registerCarried(const StandIn& standIn);

// Points every face the layouts name at its stand-in, registering carried
// faces only where the desktop lacks the preferred one; and where the
// desktop has no face even for the application's own font (menus, message
// boxes), gives it the carried sans serif. Runs once per program; needs a
// running Qt application.
void installFonts();

// The family that a face the layouts name stands for once installFonts() ran.
QString standInFamily(const StandIn& standIn);

}  // namespace forms::detail
