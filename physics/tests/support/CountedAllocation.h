#pragma once
// Test view of the counted allocation operators the tests define.

// Blocks from CountedNew not yet given back.
int LiveCountedBlocks();
