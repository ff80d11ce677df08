// The one application object.
#include "setup_app.h"

SetupApp theApp;
