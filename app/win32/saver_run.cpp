#include "app/win32/screen_saver_app.h"

// Returns without effect until the saver run lands.
void ScreenSaverApp::runSaver() {}

void ScreenSaverApp::onFrame() {}

// Releases the saver-run slots, newest first: workSurface, backgroundSurface,
// primarySurface, rainField, waterSurface.
void ScreenSaverApp::releaseSaverRun() {}
