// The resource library's own translation unit; the pictures themselves are
// added by qt_add_resources and initialised automatically when linked.
namespace ZarvosResources {
int Marker()
{
    return 1;
}
} // namespace ZarvosResources
