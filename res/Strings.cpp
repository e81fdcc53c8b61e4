#include "Strings.h"

const char* LoadResString(int id) {
    switch (id) {
    case kIdsAboutBox:
        return "&About ZR5130A...";
    default:
        return "";
    }
}
