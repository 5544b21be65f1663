#include "core/link/model_table.h"

#include <cstring>

namespace kvr {

namespace {

constexpr char kModels[kModelRows][kModelSize] = {
    "QDV0001", "QDV0002", "QDV0003", "QDV0004", "QDV0005", "QDV0006", "QD007",   "QD008",
    "QD009",   "QD010",   "QDV0011", "QDV0012", "QDV0013", "QDV0014", "QDV0015", "QDV0016",
    "QDV0017", "QDV0018", "QDV0019", "QDV0020", "QDV0021", "QD022"};

constexpr int kIntervals[] = {1, 2, 5, 10, 15, 30, 60, 120, 240};

}  // namespace

int FamilyOfAnswer(const char* answer) {
    // The first seven characters, NUL-padded, against each row's first seven bytes: a
    // five-character row matches only an answer that ends there.
    char first[7] = {};
    for (std::size_t i = 0; i < sizeof first && answer[i] != 0; ++i) first[i] = answer[i];
    int family = -1;
    for (int row = 2; row <= 20; ++row)
        if (std::memcmp(first, kModels[row], 7) == 0) family = 0;
    for (int row = 0; row <= 1; ++row)
        if (std::memcmp(first, kModels[row], 7) == 0) family = 1;
    return family;
}

int IntervalOfIndex(int index) { return index >= 0 && index <= 8 ? kIntervals[index] : 0; }

int TransferSpeed(int baud) {
    switch (baud) {
        case 1200: return 50;
        case 2400: return 139;
        case 4800: return 270;
        case 9600: return 530;
        case 19200: return 930;
        case 38400: return 1250;
        case 57600: return 1370;
        default: return 530;
    }
}

}  // namespace kvr
