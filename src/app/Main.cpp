// The process's one application object.
#include "app/Lumaret.h"

app::CLumaretApp theApp;
