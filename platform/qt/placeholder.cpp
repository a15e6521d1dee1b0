// The Qt window layer grows here; the library needs one source until then.
namespace vantrel::qt {}
