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
// runtime (one helper serves every client).
HRESULT Server_RegisterClassObjects();
// Withdraws them, so that a new client starts a new helper; a client that was
// handed them a moment before and then calls is served: they are offered
// again at its call.
void Server_WithdrawClassObjects();
bool Server_ClassObjectsOffered();
// Revokes them for good, before the apartment ends.
void Server_RevokeClassObjects();

// The creation functions behind the class objects.
HRESULT DLLFcts_Create(REFIID iid, void** object);
HRESULT XTimer_Create(REFIID iid, void** object);
