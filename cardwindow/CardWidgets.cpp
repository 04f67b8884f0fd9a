// Placeholder until the card window lands.
