#include "play.h"

#include "forms/conversions.h"
#include "forms/runtime.h"

namespace varnel {

play::play(forms::Runtime& runtime) : forms::Form(runtime, ":/table/play.json")
{
    on("Form_Load", &play::Form_Load);
}

void play::Form_Load()
{
    playerCash = startingCash;
    control("ca").setCaption(forms::text(playerCash));
    computerCash = startingCash;
    control("ba").setCaption(forms::text(computerCash));
    playerTotal = 0;
    computerTotal = 0;
    playerStake = 0;
    computerStake = 0;
}

}  // namespace varnel
