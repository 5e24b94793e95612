#include "app/WizardState.h"

int appRunning = 1;
int currentPage = 1;
int guiFontSize = 17;
const struct nk_rect resultPopupRect = {120, 100, 220, 80};
