#pragma once
// The section of the settings file for what the application adds to its
// launch: its single instance and restarts, the user's options, its output
// file, its runtime message.
extern const char kApplicationSection[];
