#pragma once

// Told by the login screen how a login ended; true after a successful one.
// The name of the operation is the one every login caller already uses.
class LoginCtrlDelegate
{
public:
    virtual ~LoginCtrlDelegate() = default;
    virtual void responFinsihed(bool success) = 0;
};
