// Placeholder for a layer that has no source yet.
