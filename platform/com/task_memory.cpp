#include "platform/com/task_memory.h"

#include <cstdlib>

// All modules share the process's C heap, so malloc serves as the task allocator.
void* CoTaskMemAlloc(std::size_t bytes) { return std::malloc(bytes ? bytes : 1); }
void* CoTaskMemRealloc(void* block, std::size_t bytes) { return std::realloc(block, bytes ? bytes : 1); }
void CoTaskMemFree(void* block) { std::free(block); }
