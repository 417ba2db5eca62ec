// The memory tests ask for more than the heap can give and expect null back;
// under AddressSanitizer that needs allocator_may_return_null.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
