// Filled in by its own change.
namespace tesvar {}
