#pragma once

#include "forms/form.h"

namespace forms {
class Runtime;
}

namespace varnel {

// The About window: the title banner, the rights and usage notices and an
// "OK" button that is both its default and its cancel button.
class frmAbout final : public forms::Form {
public:
    explicit frmAbout(forms::Runtime& runtime);

private:
    void cmdOK_Click();
};

}  // namespace varnel
