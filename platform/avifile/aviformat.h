// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Constants of the RIFF AVI file format and of its OpenDML (AVI 2.0) extension, under their
// format names.

#include "platform/wintypes.h"

#include <cstdint>

namespace avifile {

constexpr DWORD ckidRIFF = MakeFourCC('R', 'I', 'F', 'F');
constexpr DWORD ckidLIST = MakeFourCC('L', 'I', 'S', 'T');
constexpr DWORD ckidJUNK = MakeFourCC('J', 'U', 'N', 'K');
constexpr DWORD formtypeAVI = MakeFourCC('A', 'V', 'I', ' ');
constexpr DWORD formtypeAVIX = MakeFourCC('A', 'V', 'I', 'X');
constexpr DWORD listtypeAVIHEADER = MakeFourCC('h', 'd', 'r', 'l');
constexpr DWORD listtypeSTREAMHEADER = MakeFourCC('s', 't', 'r', 'l');
constexpr DWORD listtypeAVIMOVIE = MakeFourCC('m', 'o', 'v', 'i');
constexpr DWORD listtypeODML = MakeFourCC('o', 'd', 'm', 'l');
constexpr DWORD ckidAVIMAINHDR = MakeFourCC('a', 'v', 'i', 'h');
constexpr DWORD ckidSTREAMHEADER = MakeFourCC('s', 't', 'r', 'h');
constexpr DWORD ckidSTREAMFORMAT = MakeFourCC('s', 't', 'r', 'f');
constexpr DWORD ckidSTREAMNAME = MakeFourCC('s', 't', 'r', 'n');
constexpr DWORD ckidAVINEWINDEX = MakeFourCC('i', 'd', 'x', '1');
constexpr DWORD ckidODMLHEADER = MakeFourCC('d', 'm', 'l', 'h');
constexpr DWORD ckidSUPERINDEX = MakeFourCC('i', 'n', 'd', 'x');
constexpr DWORD ckidSTANDARDINDEX00 = MakeFourCC('i', 'x', '0', '0');
constexpr DWORD ckidCOMPRESSED00 = MakeFourCC('0', '0', 'd', 'c');
constexpr DWORD ckidUNCOMPRESSED00 = MakeFourCC('0', '0', 'd', 'b');
constexpr DWORD fccMSVC = MakeFourCC('M', 'S', 'V', 'C');

// avih dwFlags
constexpr DWORD AVIF_HASINDEX = 0x00000010;
constexpr DWORD AVIF_ISINTERLEAVED = 0x00000100;

// idx1 dwFlags
constexpr DWORD AVIIF_INDEX_KEYFRAME = 0x00000010;

// OpenDML index types (bIndexType) and the leaf entry's "not a key frame" bit.
constexpr std::uint8_t AVI_INDEX_OF_INDEXES = 0x00;
constexpr std::uint8_t AVI_INDEX_OF_CHUNKS = 0x01;
constexpr DWORD AVI_INDEX_DELTAFRAME = 0x80000000;

// Record sizes as written to the file.
constexpr DWORD AVI_MAINHEADER_SIZE = 56;
constexpr DWORD AVI_STREAMHEADER_SIZE = 56;
constexpr DWORD AVI_ODMLHEADER_SIZE = 248;
constexpr DWORD AVI_INDEX_HEADER_SIZE = 24;
constexpr DWORD AVI_SUPERINDEX_ENTRY_SIZE = 16;
constexpr DWORD AVI_STDINDEX_ENTRY_SIZE = 8;
constexpr DWORD AVI_IDX1_ENTRY_SIZE = 16;

// A RIFF segment is closed once it would grow past this size; the film then continues in a
// `RIFF AVIX` segment.
constexpr std::uint64_t AVI_MAX_RIFF_SIZE = 1024ull * 1024 * 1024;
// Super index entries reserved in the header: one per RIFF segment, so 256 GiB of film.
constexpr DWORD AVI_MASTER_INDEX_SIZE = 256;
// Largest chunk payload: its size field is 32 bits and the chunk is padded to even.
constexpr std::uint64_t AVI_MAX_CHUNK_PAYLOAD = 0xFFFFFFF0ull;

} // namespace avifile
