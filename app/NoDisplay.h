#pragma once

// Qt ends a program that finds no display with an abort and advice to
// reinstall it. Between these two calls, around the construction of the
// application object, that abort becomes one line saying how to run the
// panel without a display, and exit status 2. Qt's other messages of that
// time are passed on afterwards.
void WatchForMissingDisplay();
void DisplayFound();
