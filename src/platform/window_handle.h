#pragma once
// A window of the system as the portable code holds it: the owner a message
// box is shown over, the splash window.
namespace platform {

using WindowHandle = void*;

}
