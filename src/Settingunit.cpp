#include "Settingunit.h"

TFormSet::TFormSet(HWND owner) : owner_(owner) {}

int TFormSet::ShowModal() { return IDCANCEL; }
