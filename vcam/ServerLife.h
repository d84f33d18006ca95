// How long the camera's DLL must stay loaded: while any object it made lives or a client
// has locked it (IClassFactory::LockServer).
#pragma once

namespace vcam {

void ObjectCreated();
void ObjectDestroyed();
void LockServer(bool lock);
// DllCanUnloadNow's answer: no object alive, no lock held.
bool ServerCanUnload();

}  // namespace vcam
