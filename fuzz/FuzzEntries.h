#pragma once
#include <cstddef>
#include <cstdint>

// Fuzz entry points: each takes arbitrary bytes and must return 0 without
// crashing, hanging or reading out of bounds.
int KbFuzzIni(const uint8_t* data, size_t size);
int KbFuzzFnd(const uint8_t* data, size_t size);
int KbFuzzDXFGroups(const uint8_t* data, size_t size);
int KbFuzzLayerSection(const uint8_t* data, size_t size);
int KbFuzzEntityRecord(const uint8_t* data, size_t size);
int KbFuzzStl(const uint8_t* data, size_t size);
int KbFuzzBitmapRecord(const uint8_t* data, size_t size);
int KbFuzzDocument(const uint8_t* data, size_t size);
int KbFuzzDXFImport(const uint8_t* data, size_t size);
int KbFuzzSvg(const uint8_t* data, size_t size);
int KbFuzzImageResolution(const uint8_t* data, size_t size);
int KbFuzzGCode(const uint8_t* data, size_t size);
int KbFuzzGCodeText(const uint8_t* data, size_t size);
int KbFuzzToolLibrary(const uint8_t* data, size_t size);
int KbFuzzOperationParameters(const uint8_t* data, size_t size);
int KbFuzzOperations(const uint8_t* data, size_t size);
