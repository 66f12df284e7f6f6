#pragma once
// The icons compiled into kestrel_gui. A static library's resources must be registered
// before first use; every window that shows an icon calls this (it is cheap to repeat).
namespace kestrel {

void InitGuiResources();

} // namespace kestrel
