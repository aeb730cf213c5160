// The server side of the helper's automation classes: their class objects,
// and the count that decides when the process may end.
#pragma once
#include <windows.h>
#include <objbase.h>

// An object claims the server while some client holds a reference to it;
// LockServer(TRUE) claims it too. The process ends only when no claim is left.
void Server_Claim();
void Server_Unclaim();
LONG Server_Claims();

// True once a client's object request has been served (an object created).
bool Server_RequestServed();

// Registers the class objects of DLLFcts and XTimer with the automation
// runtime (one helper serves every client) and revokes them again.
HRESULT Server_RegisterClassObjects();
void Server_RevokeClassObjects();

// The creation functions behind the class objects.
HRESULT DLLFcts_Create(REFIID iid, void** object);
HRESULT XTimer_Create(REFIID iid, void** object);
