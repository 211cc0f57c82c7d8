// The on-disk layout of the three table files, named once for the program
// that reads them and for the toolkit that writes, dumps and checks them.
// Offsets count from 0; every multi-byte number is big-endian (big_endian.h).
//
// A file starts with a 32-byte header, followed by one 32-byte section
// descriptor (two for the diagnosis table). The program reads only the
// version of the header and the record size, extent and offset of each
// descriptor; the other bytes are the tool's own (see the tool's writer).

#ifndef GRULO_TABLES_TABLE_LAYOUT_H_
#define GRULO_TABLES_TABLE_LAYOUT_H_

#include <cstdint>

namespace grulo {

// ---------------------------------------------------------------------------
// Header.

inline constexpr int kTableHeaderSize = 32;
// Bytes 8 and 9: the table's version, two characters, a NUL ending it early.
inline constexpr int kHeaderVersionAt = 8;
inline constexpr int kHeaderVersionSize = 2;
// What the tool writes where the program reads nothing: a magic word at
// bytes 0-7 and the table's file name at bytes 12-23.
inline constexpr int kHeaderMagicAt = 0;
inline constexpr int kHeaderMagicSize = 8;
inline constexpr int kHeaderFileNameAt = 12;
inline constexpr int kHeaderFileNameSize = 12;

// ---------------------------------------------------------------------------
// Section descriptors, right behind the header.

inline constexpr int kSectionDescriptorSize = 32;
// Byte 20: the size of one record of the section, unsigned (0 to 255).
inline constexpr int kDescriptorRecordSizeAt = 20;
// Bytes 21-24: the extent of the section, signed 32-bit.
inline constexpr int kDescriptorExtentAt = 21;
// Bytes 25-28: the file offset of the section's data, signed 32-bit.
inline constexpr int kDescriptorOffsetAt = 25;
// What the tool writes where the program reads nothing: the section's name
// at bytes 0-19.
inline constexpr int kDescriptorNameAt = 0;
inline constexpr int kDescriptorNameSize = 20;

inline constexpr int kTreeDescriptorCount = 1;  // the nodes
inline constexpr int kActDescriptorCount = 1;   // the act index
inline constexpr int kDiagDescriptorCount = 2;  // the diagnosis index, the records

// The file offset of descriptor n (from 1).
constexpr int DescriptorAt(int n) { return kTableHeaderSize + (n - 1) * kSectionDescriptorSize; }

// The size of the header and `count` descriptors: a shorter file cannot be
// opened.
constexpr int HeaderAndDescriptorsSize(int count) {
  return kTableHeaderSize + count * kSectionDescriptorSize;
}

// ---------------------------------------------------------------------------
// Prefix indexes (diagnosis and act tables): one 16-bit entry per prefix,
// entry p holding the end of the entry range of prefix p; the entries follow
// the index.

inline constexpr int kPrefixIndexEntrySize = 2;
// Range ends are 16-bit: an index addresses at most 65535 entries in all.
inline constexpr int kMaxIndexEnd = 0xFFFF;

// Diagnosis table: descriptor 1 places the index (its record size is the
// result size), descriptor 2 the records.
inline constexpr int kDiagPrefixCount = 2600;                                    // A00 to Z99
inline constexpr int kDiagIndexSize = kPrefixIndexEntrySize * kDiagPrefixCount;  // 5200 bytes
// An entry: the suffix number (bytes 0-1), then the record number (2-3).
inline constexpr int kDiagEntrySize = 4;
inline constexpr int kDiagEntrySuffixAt = 0;
inline constexpr int kDiagEntryRecordAt = 2;
// Record numbers are 16-bit.
inline constexpr int kDiagRecordNumberCount = 0x10000;
// A record: the position flags, then the attribute block.
inline constexpr int kDiagRecordPositionAt = 0;
inline constexpr int kDiagRecordAttributesAt = 1;
// The record sizes the program accepts.
inline constexpr int kMinDiagRecordSize = 1;
inline constexpr int kMaxDiagRecordSize = 12;

// Act table: descriptor 1 places the index.
inline constexpr int kActPrefixCount = 26 * 26 * 26;                           // 17576, AAA to ZZZ
inline constexpr int kActIndexSize = kPrefixIndexEntrySize * kActPrefixCount;  // 35152 bytes
// An entry: the three key bytes (bytes 0-2), then the class (3).
inline constexpr int kActEntrySize = 4;
inline constexpr int kActEntryKeyAt = 0;
inline constexpr int kActEntryKeySize = 3;
inline constexpr int kActEntryClassAt = 3;

// ---------------------------------------------------------------------------
// Tree table: descriptor 1 places node 0 (offset), gives the node size
// (record size) and NodeBound - NodeAreaOffset (extent).

// The node sizes the program accepts.
inline constexpr int kMinNodeSize = 6;
inline constexpr int kMaxNodeSize = 12;
// Node numbers are 16-bit (signed in the walk, node 0 the root).
inline constexpr int kNodeNumberCount = 0x10000;
// The fields of a node record; the bytes after them are never read.
inline constexpr int kNodeOpcodeAt = 0;
inline constexpr int kNodeParam1At = 1;
inline constexpr int kNodeParam2At = 2;
inline constexpr int kNodeBranchLimitAt = 3;
inline constexpr int kNodeBaseNodeAt = 4;  // 16-bit
inline constexpr int kNodeFieldBytes = 6;

}  // namespace grulo

#endif  // GRULO_TABLES_TABLE_LAYOUT_H_
