#pragma once
// Encoding and decoding of the fixed blocks of the main layout and of the upload headers.
// CXFile is the only caller; the functions are separate so that the byte layout reads in
// one place.
#include <cstdint>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"

namespace kvr::codec {

// Decimal number in characters 13..16 of the identification; 1002 when they are not digits.
int VersionOf(const char* identification);
// Characters 0, 1, 2 and 4 equal those of the family identification.
bool IsFamily(const char* identification);
// Upload layout U2 (record-major) when the third character matches the family's.
bool IsRecordMajorUpload(const char* identification);

void DecodeBlockA(const std::uint8_t* block, FileHeader& header);
void EncodeBlockA(const FileHeader& header, std::uint8_t* block);
void DecodeSegment(const std::uint8_t* block, SegmentDescriptor& segment);
void EncodeSegment(const SegmentDescriptor& segment, std::uint8_t* block);

// The six channel descriptors and the device name/address from the configuration block,
// the trailer totals and block A's per-channel display settings.
void DeriveChannels(FileHeader& header);
// Device name and the three input tag names back into the configuration block.
void WriteNamesToConfig(FileHeader& header);

// Header and channel records of upload layout U1 or U2 (by the identification).
std::vector<std::uint8_t> EncodeUploadHeader(const FileHeader& header);
void EncodeChannelRecord(const ChannelDescriptor& channel, bool fullBaseTotal,
                         std::uint8_t* record);

}  // namespace kvr::codec
