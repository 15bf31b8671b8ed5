#pragma once
// Task memory: blocks handed across module boundaries (media type formats,
// enumerated names) and freed by whoever receives them.
#include <cstddef>

void* CoTaskMemAlloc(std::size_t bytes);
void* CoTaskMemRealloc(void* block, std::size_t bytes);
void CoTaskMemFree(void* block);
