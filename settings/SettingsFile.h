// vantor.ini beside the program: read once at start-up, written after each
// change (a short save of [Window] and [Option]) or from the options dialog
// (a full save of all six sections).
#pragma once

// Reads every setting into app (app.iniPath, app.cpuCount and app.gcolor must
// exist), compiles the title formats, and writes a missing file; a file in
// the old single-section layout is rewritten in the current one. Whatever a
// file of the current layout lacks takes its default, and the file stays.
void LoadSettings();

// Writes [Window] and [Option]; with full, all six sections. The program goes
// on with its values in memory when the file cannot be written; the first
// such failure of the run is told in a message box naming the file.
void SaveSettings(bool full);

// The short save at the end of the session, told to nobody: a box then would
// hold up the log-off until it was answered.
void SaveSettingsAtSessionEnd();
