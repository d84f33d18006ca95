// How long the camera's DLL must stay loaded: while any object it made lives or a
// client has locked it (IClassFactory::LockServer).
#pragma once

namespace vcam {

void ObjectCreated();
void ObjectDestroyed();

}  // namespace vcam
