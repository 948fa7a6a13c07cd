#include "config/application_section.h"

const char kApplicationSection[] = "Application";
