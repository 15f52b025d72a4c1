/* The release number, shared by the version resource, the release script
   (scripts/release reads TABIRO_VERSION_TEXT for the zip's name) and the
   manifest's assembly version. */
#pragma once

#define TABIRO_VERSION_MAJOR 5
#define TABIRO_VERSION_MINOR 90
#define TABIRO_VERSION_TEXT "5.90"
