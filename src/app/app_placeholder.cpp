// Placeholder so the library links before its first class lands.
namespace dashcam {}
