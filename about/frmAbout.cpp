#include "frmAbout.h"

namespace varnel {

frmAbout::frmAbout(forms::Runtime& runtime)
    : forms::Form(runtime, "about/frmAbout")
{
    on("cmdOK_Click", &frmAbout::cmdOK_Click);
}

// Unloaded rather than hidden: the next About command lays the window out
// afresh from its layout, at its own place, with the focus on "OK".
void frmAbout::cmdOK_Click()
{
    unload();
}

}  // namespace varnel
