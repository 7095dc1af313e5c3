#pragma once
// Identifiers of the launcher's dialog templates and their controls, shared by
// the resource script and the code that runs the dialogs. Plain macros, so
// that the resource compiler can read this file too.

// The missing-runtime dialog.
#define KORVAN_DIALOG_MISSING_RUNTIME 201
#define KORVAN_CONTROL_CHOSEN_FOLDER 201
#define KORVAN_CONTROL_BROWSE 202
#define KORVAN_CONTROL_MESSAGE 203
#define KORVAN_CONTROL_ERROR_ICON 204
#define KORVAN_CONTROL_DOWNLOAD_LINK 205
#define KORVAN_CONTROL_BROWSE_HINT 206

// The dialog that shows a Java exception that escaped main.
#define KORVAN_DIALOG_UNCAUGHT_EXCEPTION 301
#define KORVAN_CONTROL_STACK_TRACE 302
#define KORVAN_CONTROL_IGNORE 303
#define KORVAN_CONTROL_STOP 304

// Where a user without a Java runtime can download one; control 205 shows it.
#define KORVAN_RUNTIME_DOWNLOAD_ADDRESS "https://adoptium.net/"
