// Placeholder translation unit for a library whose sources are not written yet.
namespace {
[[maybe_unused]] int placeholder;
}
