// Placeholder until the set tool lands.
